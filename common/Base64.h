#pragma once
// The two Base64 classes the add-ins put file and image bytes into their requests with. Both
// use the standard alphabet and "=" padding and break long output into lines of 76 characters
// with CR LF, but they place the breaks differently, and the services see the difference:
//  - base64module::EncodeArr ends a text of more than 76 characters whose length is a multiple
//    of 76 with CR LF; a text of at most 76 characters has no break.
//  - Base64Class::EncodeByteArray never ends the text with a break.
// Byte arrays are std::string of bytes; texts are UTF-8 and become bytes through the system
// ANSI code page.
#include <string>
#include <string_view>

namespace tavo {

namespace base64 {
enum class FinalBreak { Never, AfterFullLastLine };
// Base64 broken into lines of 76 characters.
// The text keeps kRoomAround characters of unused capacity.
inline constexpr std::size_t kRoomAround = 1024;
std::string EncodeLines(std::string_view bytes, FinalBreak finalBreak);
// Bytes read and encoded at a time from a file: whole lines of 57 bytes, so that each piece's
// text is the whole file's text at that place.
inline constexpr std::size_t kFilePieceBytes = 4096 * 57;
// EncodeLines of the file's bytes, read and encoded a piece at a time so that the file is never
// held whole beside its text; raises as platform::files::ReadAllBytes.
std::string EncodeFileLines(std::string_view path, FinalBreak finalBreak);
}  // namespace base64

class base64module {
 public:
  // "" for "", else EncodeArr of the ANSI bytes of the text.
  std::string Encode(std::string_view sInput);
  // EncodeArr of the whole file; "" when it cannot be read.
  std::string EncodeFromFile(std::string_view sFileName);
  std::string EncodeArr(std::string_view bytInput);
  // "" for "", else DecodeArr turned back into text through the ANSI code page.
  std::string Decode(std::string_view sInput);
  // Writes DecodeArr(sInput) to a new file; raises -2147220504 "File already exists." (source
  // "Base64.DecodeToFile") and writes nothing when the file exists.
  void DecodeToFile(std::string_view sInput, std::string_view sFileName);
  // Tolerant decoder: every CR LF pair and every "=" is dropped; any other character outside the
  // alphabet counts as "A". A single character left after the last group gives one zero byte.
  // Raises run-time error 9 when nothing is left to decode.
  std::string DecodeArr(std::string_view sInput);
};

// The spreadsheet add-in's name for the same class.
using Base64byteencode = base64module;

class Base64Class {
 public:
  std::string EncodeString(std::string_view text);
  // Raises run-time error 9 for an empty array.
  std::string EncodeByteArray(std::string_view bytes);
  // EncodeByteArray of the file's bytes, read in pieces (base64::EncodeFileLines).
  std::string EncodeFileBytes(std::string_view path);
};

}  // namespace tavo
