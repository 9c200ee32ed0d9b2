#pragma once
// The program's own error types. Messages are UTF-16, as shown to the user.
#include <stdexcept>
#include <string>
#include <utility>

// what() is the message in UTF-8; whoever reads an error reads it through the codec.
#include "platform/utf8.h"

// Base of every error a command may let reach the standard error box.
class TMorvaneError : public std::runtime_error {
 public:
  explicit TMorvaneError(std::wstring message);
  const std::wstring& message() const noexcept { return FMessage; }

 private:
  std::wstring FMessage;
};

// A call to an automation server (the CAD or Excel) failed; carries the
// member's name and the server's message. `unreachable`: the call never got
// an answer from the server (it has ended, or turned the call away), so the
// failure says nothing about the objects the call was about.
class TAutomationError : public TMorvaneError {
 public:
  explicit TAutomationError(std::wstring message, bool unreachable = false)
      : TMorvaneError(std::move(message)), FUnreachable(unreachable) {}
  bool unreachable() const noexcept { return FUnreachable; }

 private:
  bool FUnreachable;
};

// A text could not be read as a number (a handle that is not hexadecimal, ...).
class TConvertError : public TMorvaneError {
 public:
  using TMorvaneError::TMorvaneError;
};

// The message of the error being handled, for the user: the program's own
// message, a standard exception's text, or a general one. Call inside a catch block only.
std::wstring caughtErrorMessage();
