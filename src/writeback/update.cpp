#include "writeback/update.h"

#include <cwctype>

#include "cad/text_kinds.h"
#include "platform/errors.h"
#include "table/cell_tag.h"
#include "writeback/update_plan.h"

namespace {

// The drawing text of a handle, or null when the drawing no longer has it
// (erased since Acquire) or what it holds now is no text the program writes:
// such a cell is skipped. A lookup
// the CAD never answered (it has ended, or turned the call away) tells
// nothing about the text: the run stops there, as at any failing call,
// rather than skip the cells as erased ones.
std::unique_ptr<TCadText> lookupText(TCadDocument& document, const std::wstring& handle, bool isMText) {
  try {
    const std::unique_ptr<TCadEntity> entity = document.HandleToObject(handle);
    if (!isWritableText(entity->ObjectName(), isMText)) {
      return nullptr;
    }
    return isMText ? entity->asMText() : entity->asText();
  } catch (const TAutomationError& e) {
    if (e.unreachable()) {
      throw;
    }
    return nullptr;
  } catch (const TMorvaneError&) {
    return nullptr;
  }
}

// A copy of the template, given the cell's text and placed at `at`; its
// record is appended and the cell tagged with it. A copy that cannot be
// completed, whose handle cannot be a cell tag, or that cannot even be taken
// as a text, is erased again: a stray text with the template's string would
// stay in the drawing on top of its template, and a text with no tag would be
// made once more by the next Update.
// An MTEXT template (`mtext` given) is copied with its codes for the whole
// text around the cell's text, and placed by its insertion point: it has no
// alignment of a TEXT's kind.
void addText(TCadText& templateText, const TMrvText& templateRecord, const TMTextCodec* mtext,
             const std::wstring& cellText, const TPoint3& at, TTextIndex& texts, TStringGrid& grid,
             std::int32_t col, std::int32_t row) {
  const std::unique_ptr<TCadEntity> made = templateText.Copy();
  std::unique_ptr<TCadText> copy;
  TMrvText record;
  std::int32_t tag = 0;
  try {
    if (mtext != nullptr) {
      copy = made->asMText();
      copy->setTextString(mtext->compose(templateRecord.sSource, cellText));
      copy->setInsertionPoint(at);
    } else {
      copy = made->asText();
      copy->setTextString(cellText);
      if (copy->Alignment() == 0) {
        copy->setInsertionPoint(at);
      } else {
        copy->setTextAlignmentPoint(at);
      }
    }
    record.base = at;
    record.objID = copy->ObjectID();
    record.sHandle = copy->Handle();
    if (mtext != nullptr) {
      record.isMText = true;
      record.sSource = copy->TextString();
      record.sText = mtext->visibleText(record.sSource);
      record.innerFormatting = mtext->hasInnerFormatting(record.sSource);
    } else {
      record.code = copy->Alignment();
      record.sText = copy->TextString();
    }
    tag = handleToTag(record.sHandle);
  } catch (...) {
    try {
      made->Erase();
    } catch (...) {
      // The first failure is the one to report.
    }
    throw;
  }
  // The text is complete in the drawing from here on: record and tag say so
  // before the redraws, which may fail without leaving it unrecorded.
  texts.append(std::move(record));
  grid.setTag(col, row, tag);
  copy->Update();
  copy->Update();
  grid.setTag(col, row, handleToTag(copy->Handle()));
}

}  // namespace

void updateCells(TStringGrid& grid, TTextAry& textList, const TBounds& bounds, TCadDocument& document,
                 TUpdateCounts& counts, const std::function<void()>& beforeCell,
                 const std::function<void()>& beforeWrite, const TMTextCodec* mtext) {
  TTextIndex texts(textList);
  updateCells(grid, texts, bounds, document, counts, beforeCell, beforeWrite, mtext);
}

void updateCells(TStringGrid& grid, TTextIndex& texts, const TBounds& bounds, TCadDocument& document,
                 TUpdateCounts& counts, const std::function<void()>& beforeCell,
                 const std::function<void()>& beforeWrite, const TMTextCodec* mtext) {
  const auto writing = [&beforeWrite] {
    if (beforeWrite) beforeWrite();
  };
  for (std::int32_t row = 1; row < grid.RowCount(); ++row) {
    for (std::int32_t col = 1; col < grid.ColCount(); ++col) {
      beforeCell();
      const TCellPlan plan = planCell(grid, texts, bounds, col, row);
      if (plan.kind == TPending::None || plan.kind == TPending::Unwritable) {
        continue;  // nothing is written and nothing counted
      }
      if (plan.kind == TPending::DrawingChanged) {
        ++counts.drawingChanged;  // left alone until a new Acquire reads its text
        continue;
      }
      // The text as it stands now: the CAD's calls may let messages run that change the cell.
      const std::wstring cellText = grid.Cell(col, row);
      if (plan.kind == TPending::Edit || plan.kind == TPending::FormatReplaced || plan.kind == TPending::Delete) {
        const int i = plan.record;
        const bool isMText = texts[i].isMText;
        const std::unique_ptr<TCadText> text =
            isMText && mtext == nullptr ? nullptr : lookupText(document, handleString(grid.Tag(col, row)), isMText);
        if (!text) {
          ++counts.skipped;
          continue;
        }
        // Changed in the CAD since it was read: the user's change there is
        // not overwritten, nor erased. An MTEXT is compared codes and all.
        if (text->TextString() != (isMText ? texts[i].sSource : texts[i].sText)) {
          texts.markDrawingChanged(i);
          ++counts.drawingChanged;
          continue;
        }
        writing();
        if (plan.kind != TPending::Delete) {
          if (isMText) {
            std::wstring written = mtext->compose(texts[i].sSource, cellText);
            text->setTextString(written);
            const bool inner = mtext->hasInnerFormatting(written);
            texts.setMText(i, std::move(written), cellText, inner);
          } else {
            text->setTextString(cellText);
            texts.setText(i, cellText);
          }
          text->Update();
          ++counts.edits;
        } else {
          text->Erase();
          texts.blank(i);
          grid.setTag(col, row, 0);
          ++counts.deletions;
        }
      } else {
        // The walk reaches a cell only once the rows above it are written,
        // so its template is a record by then.
        const TMrvText templateRecord = plan.record >= 0 ? texts[plan.record] : TMrvText{};
        const bool isMText = templateRecord.isMText;
        const std::unique_ptr<TCadText> templateText =
            isMText && mtext == nullptr ? nullptr : lookupText(document, handleString(plan.templateTag), isMText);
        if (!templateText) {
          ++counts.skipped;
          continue;
        }
        writing();
        const TPoint3 placement{bounds.cols()[static_cast<std::size_t>(col - 1)] + plan.offset.dx,
                                bounds.rows()[static_cast<std::size_t>(row - 1)] + plan.offset.dy, 0.0};
        addText(*templateText, templateRecord, isMText ? mtext : nullptr, cellText, placement, texts, grid, col,
                row);
        ++counts.additions;
      }
    }
  }
}

void TUndoGroup::beforeWrite() {
  if (FStarted || FUnsupported) {
    return;
  }
  try {
    FDocument.StartUndoMark();
    FStarted = true;
  } catch (const TMorvaneError&) {
    FUnsupported = true;
  }
}

void TUndoGroup::end() noexcept {
  if (!FStarted) {
    return;
  }
  FStarted = false;
  try {
    FDocument.EndUndoMark();
  } catch (...) {
    // The writes stand; the CAD merely undoes them in more than one step.
  }
}

std::wstring updateLogLine(const TUpdateCounts& counts) {
  return L"[更新] 編集 = " + std::to_wstring(counts.edits) + L", 追加 = " + std::to_wstring(counts.additions) +
         L", 削除 = " + std::to_wstring(counts.deletions);
}

std::wstring skippedLogLine(std::int32_t skipped) {
  return L"[更新] 図面に文字が見つからず飛ばしたセル = " + std::to_wstring(skipped);
}

std::wstring drawingChangedLogLine(std::int32_t cells) {
  return L"[更新] 図面側で変更されていたため飛ばしたセル = " + std::to_wstring(cells);
}

std::wstring wrongDrawingLogLine(const std::wstring& acquired, const std::wstring& active) {
  return L"[更新] 取得した図面ではないため書き込みませんでした: 取得 = " + acquired + L", 現在 = " + active;
}

std::wstring wrongDrawingMessage(const std::wstring& acquired) {
  return L"開いている図面は、表を取得した図面ではありません。\n\n" + acquired +
         L"\n\nを開いてから更新するか、表を取得し直してください。";
}

std::wstring stoppedLogLine(const std::wstring& message) { return L"[更新] 途中で中断しました: " + message; }

bool needsRegenCommand(const std::wstring& progId) {
  std::wstring upper = progId;
  for (wchar_t& ch : upper) {
    ch = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(ch)));
  }
  return upper.find(L"PCAD") != std::wstring::npos;
}
