#include "common/LocalFileName.h"

#include <gtest/gtest.h>

#include <string>

namespace tavo {
namespace {

// Each name: whether it leads out of a folder as it stands, and the file name made of it. No
// file name made of a name leads out of its folder or names a device.
TEST(LocalFileNameTest, NamesThatLeaveTheFolderAndTheFileNamesMadeOfThem) {
  const struct {
    std::string name;
    bool leaves;
    std::string file;
  } cases[] = {
      {"Budget", false, "Budget"},
      {"Q1/Q2: plan", true, "Q1_Q2_ plan"},
      {"..\\..\\evil", true, ".._.._evil"},
      {"../evil", true, ".._evil"},
      {"C:", true, "C_"},
      {"C:\\Windows\\evil", true, "C__Windows_evil"},
      {"..", true, "__"},
      {".", true, "_"},
      {"", false, "_"},
      {"a*b?c\"d<e>f|g", false, "a_b_c_d_e_f_g"},
      {std::string("tab\there\x1f"), false, "tab_here_"},
      {std::string("nul\0byte", 8), false, "nul_byte"},
      // Dots and blanks elsewhere, letter case and characters outside ASCII stay.
      {"...", false, "..."},
      {".hidden", false, ".hidden"},
      {" Notes. ", false, " Notes. "},
      {"M\xc3\xbcller \xe4\xbd\xa0\xe5\xa5\xbd", false, "M\xc3\xbcller \xe4\xbd\xa0\xe5\xa5\xbd"},
      // Names Windows takes for devices, alone or before an extension, get a "_" in front.
      {"CON", false, "_CON"},
      {"nul", false, "_nul"},
      {"Aux.draft", false, "_Aux.draft"},
      {"prn.tar.gz", false, "_prn.tar.gz"},
      {"COM1", false, "_COM1"},
      {"lpt9.", false, "_lpt9."},
      {"COM0", false, "_COM0"},
      {"NUL .txt", false, "_NUL .txt"},
      {"con  ", false, "_con  "},
      {"COM\xc2\xb9", false, "_COM\xc2\xb9"},
      {"CONOUT$", false, "_CONOUT$"},
      {"CON:", true, "CON_"},
      {"C:\\NUL", true, "C__NUL"},
      // Names that only resemble them stay.
      {"CONSOLE", false, "CONSOLE"},
      {"COM10", false, "COM10"},
      {"LPT", false, "LPT"},
      {"NULL.txt", false, "NULL.txt"},
      {" CON", false, " CON"},
      {"my CON", false, "my CON"},
      {"_CON", false, "_CON"},
      {"COM\xc2\xb4", false, "COM\xc2\xb4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LeavesFolder(c.name), c.leaves);
    EXPECT_EQ(WindowsFileName(c.name), c.file);
    EXPECT_FALSE(LeavesFolder(WindowsFileName(c.name)));
    EXPECT_FALSE(IsDeviceName(WindowsFileName(c.name)));
    EXPECT_EQ(NotADeviceName(c.name) != c.name, IsDeviceName(c.name));
  }
}

// An account name names its folders trimmed; ordinary e-mail addresses are all usable.
TEST(LocalFileNameTest, AccountNamesThatCannotNameAFolder) {
  const struct {
    std::string account;
    bool unusable;
  } cases[] = {
      {"ann@tavo.example", false},
      {" ann@tavo.example ", false},
      {"first.last+tag@sub.tavo.example", false},
      {"M\xc3\xbcller@tavo.example", false},
      {"...", false},
      {"", false},
      {"..\\..\\..\\..\\..\\Escaped", true},
      {"../Escaped", true},
      {"ann/bob", true},
      {"C:ann", true},
      {" .. ", true},
      {".", true},
      {"ann\tbob", true},
      {"ann\x7f", true},
      {std::string("ann\0bob", 7), true},
      {"nul", true},
      {"Com1.example", true},
      {"con@tavo.example", false},
  };
  for (const auto& c : cases) EXPECT_EQ(UnusableAccountName(c.account), c.unusable) << c.account;
}

}  // namespace
}  // namespace tavo
