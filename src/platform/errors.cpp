#include "platform/errors.h"

TMorvaneError::TMorvaneError(std::wstring message)
    : std::runtime_error(toUtf8(message)), FMessage(std::move(message)) {}

std::wstring caughtErrorMessage() {
  try {
    throw;
  } catch (const TMorvaneError& e) {
    return e.message();
  } catch (const std::exception& e) {
    return fromUtf8(e.what());
  } catch (...) {
    return L"予期しないエラーが発生しました。";
  }
}
