#include "sheet/undo_cells.h"
// Placeholder: the history lands here.
struct TUndoCells::TImpl {};
TUndoCells::TUndoCells() : FImpl(std::make_unique<TImpl>()) {}
TUndoCells::~TUndoCells() = default;
TUndoCell* TUndoCells::Add(TStringGrid&, std::int32_t, std::int32_t) { return nullptr; }
void TUndoCells::Clear() {}
void TUndoCells::Undo(TStringGrid&) {}
TUndoCell* TUndoCells::GetItem(std::int32_t) const { return nullptr; }
std::int32_t TUndoCells::Count() const { return 0; }
