#include "platform/win32/com_object.h"

std::wstring TComObject::getString(const wchar_t* name) const {
  return variantString(FView.get(name).get(), replyOf(name));
}

std::int32_t TComObject::getInt32(const wchar_t* name) const {
  return variantInt32(FView.get(name).get(), replyOf(name));
}

std::int32_t TComObject::getCount(const wchar_t* name) const {
  return variantCount(FView.get(name).get(), replyOf(name));
}

std::int32_t TComObject::getLow32(const wchar_t* name) const {
  return variantLow32(FView.get(name).get(), replyOf(name));
}

bool TComObject::getBool(const wchar_t* name) const { return variantBool(FView.get(name).get(), replyOf(name)); }

std::array<double, 3> TComObject::getPoint(const wchar_t* name) const {
  return variantPoint(FView.get(name).get(), replyOf(name));
}

std::vector<double> TComObject::getVertices(const wchar_t* name) const {
  return variantVertices(FView.get(name).get(), replyOf(name));
}
