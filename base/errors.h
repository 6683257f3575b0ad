// The exception classes every part of the converter reports failures with.
#pragma once

#include "base/bytes.h"

#include <exception>

// The general error: a message in the ANSI code page.
class Exception : public std::exception {
  public:
    explicit Exception(ByteString message) : message_(std::move(message)) {}
    const ByteString& Message() const { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    ByteString message_;
};

// An input/output error: the system error code and the message that the table gives it.
class EInOutError : public Exception {
  public:
    explicit EInOutError(unsigned long code);
    unsigned long Code() const { return code_; }

  private:
    unsigned long code_;
};

// The message of an input/output error with this code.
ByteString InOutErrorMessage(unsigned long code);

// A message as the default handler shows it: "." appended when the last byte sorts
// after "." (so a message ending in a letter, a digit or a Japanese character gets one).
ByteString MessageForDisplay(const ByteString& message);
