#pragma once
// The run-time error that every platform call raises when it fails, carrying the number and
// description a caller logs ("Err.Number", "Err.Description").
#include <stdexcept>
#include <string>

namespace platform {

namespace err {
inline constexpr long InvalidProcedureCall = 5;
inline constexpr long Overflow = 6;
inline constexpr long OutOfMemory = 7;
inline constexpr long SubscriptOutOfRange = 9;
inline constexpr long TypeMismatch = 13;
inline constexpr long BadFileNameOrNumber = 52;
inline constexpr long FileNotFound = 53;
inline constexpr long BadFileMode = 54;
inline constexpr long FileAlreadyOpen = 55;
inline constexpr long FileAlreadyExists = 58;
inline constexpr long PermissionDenied = 70;
inline constexpr long PathFileAccess = 75;
inline constexpr long PathNotFound = 76;
inline constexpr long ObjectNotSet = 91;
inline constexpr long ObjectRequired = 424;
inline constexpr long Automation = -2147467259;  // 0x80004005, unspecified failure
}  // namespace err

// The standard description for a number, "Application-defined or object-defined error"
// for numbers without one.
std::string DefaultErrorDescription(long number);

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(long number, std::string description, std::string source = {});
  explicit RuntimeError(long number);

  long number() const { return number_; }
  const std::string& description() const { return description_; }
  const std::string& source() const { return source_; }

 private:
  long number_;
  std::string description_;
  std::string source_;
};

[[noreturn]] void Raise(long number, std::string description = {}, std::string source = {});

}  // namespace platform
