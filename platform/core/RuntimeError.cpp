#include "platform/core/RuntimeError.h"

namespace platform {

std::string DefaultErrorDescription(long number) {
  switch (number) {
    case err::InvalidProcedureCall: return "Invalid procedure call or argument";
    case err::Overflow: return "Overflow";
    case err::OutOfMemory: return "Out of memory";
    case err::SubscriptOutOfRange: return "Subscript out of range";
    case err::TypeMismatch: return "Type mismatch";
    case err::BadFileNameOrNumber: return "Bad file name or number";
    case err::FileNotFound: return "File not found";
    case err::BadFileMode: return "Bad file mode";
    case err::FileAlreadyOpen: return "File already open";
    case err::FileAlreadyExists: return "File already exists";
    case err::PermissionDenied: return "Permission denied";
    case err::PathFileAccess: return "Path/File access error";
    case err::PathNotFound: return "Path not found";
    case err::ObjectNotSet: return "Object variable or With block variable not set";
    case err::ObjectRequired: return "Object required";
    case err::Automation: return "Automation error";
    default: return "Application-defined or object-defined error";
  }
}

RuntimeError::RuntimeError(long number, std::string description, std::string source)
    : std::runtime_error(description.empty() ? DefaultErrorDescription(number) : description),
      number_(number),
      description_(description.empty() ? DefaultErrorDescription(number) : std::move(description)),
      source_(std::move(source)) {}

RuntimeError::RuntimeError(long number) : RuntimeError(number, {}) {}

void Raise(long number, std::string description, std::string source) {
  throw RuntimeError(number, std::move(description), std::move(source));
}

}  // namespace platform
