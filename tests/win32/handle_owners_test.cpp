// The GDI owners: what a scope selects comes back out, and the screen's DC
// (a null window) is a real device context.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/handle_owners.h"

TEST(HandleOwners, ScopesPutBackWhatTheyReplacedAndBuffersPaint) {
  const TWindowDc screen(nullptr);
  ASSERT_TRUE(screen);
  const TMemoryDc memory(screen.get());
  ASSERT_TRUE(memory);
  const HGDIOBJ originalPen = GetCurrentObject(memory.get(), OBJ_PEN);
  TGdiObject<HPEN> red(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
  {
    const TSelectScope select(memory.get(), red.get());
    EXPECT_EQ(GetCurrentObject(memory.get(), OBJ_PEN), red.get());
    {
      // A null object selects nothing and puts nothing back.
      const TSelectScope none(memory.get(), nullptr);
      EXPECT_EQ(GetCurrentObject(memory.get(), OBJ_PEN), red.get());
    }
  }
  EXPECT_EQ(GetCurrentObject(memory.get(), OBJ_PEN), originalPen);

  TGdiObject<HPEN> moved(std::move(red));
  EXPECT_EQ(red.get(), nullptr);
  EXPECT_NE(moved.get(), nullptr);

  const TOffscreenDc buffer(screen.get(), 8, 6);
  ASSERT_TRUE(buffer.ok());
  const RECT all{0, 0, 8, 6};
  TGdiObject<HBRUSH> blue(CreateSolidBrush(RGB(0, 0, 255)));
  FillRect(buffer.dc(), &all, blue.get());
  EXPECT_EQ(GetPixel(buffer.dc(), 7, 5), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(buffer.dc(), 8, 6), CLR_INVALID) << "the bitmap is as large as asked, no larger";
}
