// Status: the result of an operation that can fail, with a message for people.
//
// Status is what the shared helpers, the settings store and the listing
// return: their callers only pass the reason on to the user. Two engines
// return integer codes instead, because their callers tell the kinds apart
// and the messages show the number: the documentation engine (0, 100 + a
// file-error cause, or a code of docgen/doc_messages.h) and the beautifier's
// entry point (beautifier/reformat_file.h: 0, -1 or -2). Where a Status of a
// helper reaches the documentation engine (a document that cannot be opened
// or renamed into place) the engine turns it into 100 + the cause of errno
// and reports the Status's message as the reason (ReportFailure).
#pragma once

#include <string>
#include <utility>

namespace folios {

class Status {
 public:
  // Success costs nothing: no message is held.
  Status() = default;
  static Status OK() { return Status(); }
  static Status Error(std::string message) { return Status(std::move(message), true); }

  bool ok() const { return !failed_; }
  // The reason, such as "No such file or directory"; empty on success.
  const std::string& message() const { return message_; }

 private:
  Status(std::string message, bool failed) : message_(std::move(message)), failed_(failed) {}
  std::string message_;
  bool failed_ = false;
};

// The text of errno as a message ("Permission denied").
std::string ErrnoMessage(int error_number);

}  // namespace folios
