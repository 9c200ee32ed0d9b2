#include "app/hidden_list.h"

TInputListClose hiddenListClose(TInputListEvent event) {
  switch (event) {
    case TInputListEvent::DoubleClick:
    case TInputListEvent::Enter:
      return TInputListClose::Ok;
    case TInputListEvent::Escape:
    case TInputListEvent::RightButtonDown:
    case TInputListEvent::AppActivation:
      return TInputListClose::Cancel;
    case TInputListEvent::SelectionChanged:
    case TInputListEvent::OtherKey:
      break;
  }
  return TInputListClose::Stay;
}
