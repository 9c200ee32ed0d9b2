#include "app/morvane_form.h"
// Placeholder: Acquire lands in form_acquire.cpp.
void TMorvaneForm::Button1Click() {}
