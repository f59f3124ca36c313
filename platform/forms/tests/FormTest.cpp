#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/RuntimeError.h"
#include "platform/environment/TestSupport.h"
#include "platform/forms/ActionCommands.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/Render.h"
#include "platform/forms/ScriptedOperator.h"
#include "platform/forms/Timer.h"
#include "platform/forms/UserActions.h"
#include "platform/forms/WebBrowser.h"

namespace forms = platform::forms;
using platform::environment::RaisedNumber;

namespace {

// A credentials dialog in the way the add-in's dialogs are written: Enter in a box confirms,
// Esc anywhere cancels, each box leaves a hint while it has the focus.
class frmLogin : public forms::Form {
 public:
  frmLogin() : Form("frmLogin") {
    tavoemailid.onGotFocus = [this] { hint = "enter your e-mail"; events.push_back("email+"); };
    tavoemailid.onLostFocus = [this] { hint.clear(); events.push_back("email-"); };
    tavopassword.onGotFocus = [this] { hint = "enter your password"; events.push_back("password+"); };
    tavopassword.onLostFocus = [this] { hint.clear(); events.push_back("password-"); };
    tavoemailid.onChange = [this] { ++changes; };
    tavoemailid.onKeyPress = [this](int& key) { Box_KeyPress(key); };
    tavopassword.onKeyPress = [this](int& key) { Box_KeyPress(key); };
    Command1.onKeyPress = [this](int& key) {
      if (key == 27) Cancel();
    };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Cancel(); };
  }

  forms::Label Label1{*this, "Label1", "Tavo ID"};
  forms::TextBox tavoemailid{*this, "tavoemailid"};
  forms::Label Label2{*this, "Label2", "Password"};
  forms::TextBox tavopassword{*this, "tavopassword"};
  forms::CheckBox rememberme{*this, "rememberme"};
  forms::CommandButton Command1{*this, "Command1", "&Save"};
  forms::CommandButton Command2{*this, "Command2", "Cancel"};

  std::string result, user, password, hint;
  std::vector<std::string> events;
  int loads = 0, changes = 0, unloads = 0;

 protected:
  void Design() override {
    SetCaption("Tavo Credentials");
    tavoemailid.SetFontName("Verdana");
    tavopassword.SetPasswordChar("*");
  }
  void Form_Load() override {
    ++loads;
    tavoemailid.SetText(user);
  }
  void Form_Unload(bool&) override { ++unloads; }

 private:
  void Box_KeyPress(int& key) {
    if (key == 13) Accept();
    if (key == 27) Cancel();
    if (key >= 'a' && key <= 'z' && tavoemailid.HasFocus()) key -= 32;  // the handler may change the key
  }
  void Command1_Click() {
    if (tavoemailid.Text().empty()) {
      forms::MsgBox("Fill in the name", forms::kOKOnly + forms::kExclamation, "Login");
      return;
    }
    Accept();
  }
  void Accept() {
    user = tavoemailid.Text();
    password = tavopassword.Text();
    result = "TRUE";
    Unload();
  }
  void Cancel() {
    result = "FALSE";
    Unload();
  }
};

TEST(Form, FocusHintsFollowTheFocus) {
  frmLogin form;
  forms::ScriptedOperator op;
  op.On("frmLogin", {"focus tavopassword", "click Command2"});
  form.Show(forms::ShowMode::Modal);
  // The first box in tab order receives the focus when the form comes up; a click on a button
  // takes it from the box that had it.
  EXPECT_EQ(form.events, (std::vector<std::string>{"email+", "email-", "password+", "password-"}));
  EXPECT_EQ(form.hint, "");
  EXPECT_EQ(form.result, "FALSE");
}

TEST(Form, EnterConfirmsAndEscCancelsFromTheBoxes) {
  struct Case {
    std::vector<std::string> script;
    std::string result, user, password;
  } cases[] = {
      {{"type tavoemailid bud", "type tavopassword pw", "key tavopassword 13"}, "TRUE", "BUD", "pw"},
      {{"type tavoemailid bud", "key tavoemailid enter"}, "TRUE", "BUD", ""},
      {{"type tavoemailid bud", "key tavoemailid esc"}, "FALSE", "", ""},
      {{"key Command1 27"}, "FALSE", "", ""},
      // A key without a control goes to the one with the focus.
      {{"type tavoemailid bud", "key enter"}, "TRUE", "BUD", ""},
      {{"type tavopassword pw", "key esc"}, "FALSE", "", ""},
      {{"click Save"}, "", "", ""},  // nothing typed: the message box, the dialog stays
  };
  for (const auto& c : cases) {
    frmLogin form;
    forms::ScriptedOperator op;
    op.On("Tavo Credentials", c.script);
    if (c.result.empty()) op.On("frmLogin", {"close"});
    form.Show(forms::ShowMode::Modal);
    EXPECT_EQ(form.result, c.result) << c.script.front();
    EXPECT_EQ(form.user, c.user) << c.script.front();
    EXPECT_EQ(form.password, c.password) << c.script.front();
    EXPECT_FALSE(form.IsLoaded());
  }
}

TEST(Form, TypingRaisesChangeForEveryCharacter) {
  frmLogin form;
  forms::ScriptedOperator op;
  op.On("frmLogin", {"type tavoemailid bud", "clear tavoemailid", "type tavoemailid x", "close"});
  form.Show(forms::ShowMode::Modal);
  EXPECT_EQ(form.changes, 5);  // three letters, one clear, one letter
}

TEST(Form, ScriptWithoutActionForAModalFormFailsNamingIt) {
  frmLogin form;
  forms::ScriptedOperator op;
  op.On("frmLogin", {"type tavoemailid ann"});
  try {
    form.Show(forms::ShowMode::Modal);
    FAIL() << "the show should have been abandoned";
  } catch (const forms::OperatorError& e) {
    std::string message = e.what();
    EXPECT_NE(message.find("frmLogin \"Tavo Credentials\""), std::string::npos) << message;
    EXPECT_NE(message.find("\"ANN\""), std::string::npos) << message;  // the rendering, typed text included
  }
  EXPECT_FALSE(form.IsModal());
}

TEST(Form, ActionsOnUnreachableControlsAreRefused) {
  frmLogin form;
  forms::ScriptedOperator op;
  form.Load();
  form.Command1.SetEnabled(false);
  form.tavopassword.SetVisible(false);
  form.Show();
  auto refusal = [&](const char* line) {
    try {
      forms::Perform(form, line);
    } catch (const forms::OperatorError& e) {
      return std::string(e.what());
    }
    return std::string("accepted");
  };
  EXPECT_EQ(refusal("click Command1"), "CommandButton Command1 on frmLogin is disabled");
  EXPECT_EQ(refusal("type tavopassword x"), "TextBox tavopassword on frmLogin is not visible");
  EXPECT_EQ(refusal("check Label1"), "Label Label1 on frmLogin cannot be used with \"check Label1\"");
  EXPECT_EQ(refusal("click nothing"),
            "The form frmLogin has no control \"nothing\"; it has tavoemailid, rememberme, Command2 \"Cancel\"");
  EXPECT_EQ(refusal("focus Label1"), "Label Label1 on frmLogin cannot take the focus");
  EXPECT_EQ(refusal("key Label1 13"), "Label Label1 on frmLogin cannot take the focus, so it gets no keys");
  form.Unload();
  EXPECT_EQ(refusal("click Command2"), "The form frmLogin is not shown");
}

TEST(Form, LoadsOnFirstUseAndStartsAgainAfterUnload) {
  frmLogin form;
  form.user = "first@example.com";
  EXPECT_FALSE(form.IsLoaded());
  // Touching a control loads the form before the change, so the change survives the show.
  form.Command1.SetCaption("Sign In");
  EXPECT_EQ(form.loads, 1);
  EXPECT_EQ(form.tavoemailid.Text(), "first@example.com");

  forms::ScriptedOperator op;
  op.On("frmLogin", {"type tavopassword secret", "key tavopassword 13"});
  form.Show(forms::ShowMode::Modal);
  EXPECT_EQ(form.loads, 1);
  EXPECT_EQ(form.unloads, 1);
  EXPECT_EQ(form.password, "secret");
  EXPECT_NE(op.LastRendering("frmLogin").find("\"Sign In\""), std::string::npos);

  // Unloaded: every property is back at its design value, and the next use loads afresh.
  form.user = "second@example.com";
  EXPECT_EQ(form.Command1.Caption(), "&Save");
  EXPECT_EQ(form.loads, 2);
  EXPECT_EQ(form.tavopassword.Text(), "");
  EXPECT_EQ(form.tavoemailid.Text(), "second@example.com");
  EXPECT_EQ(form.tavoemailid.FontName(), "Verdana");

  // Hide keeps it loaded: showing it again does not run Form_Load.
  form.Show();
  form.Hide();
  form.Show();
  EXPECT_EQ(form.loads, 2);
  EXPECT_TRUE(form.IsVisible());
}

// A form whose button shows another form modally, and whose close box can be refused.
class frmOuter : public forms::Form {
 public:
  frmOuter() : Form("frmOuter", "Outer") {
    Command1.onClick = [this] {
      inner.Show(forms::ShowMode::Modal);
      Label1.SetCaption("inner said " + inner.answer);
    };
  }
  class frmInner : public forms::Form {
   public:
    frmInner() : Form("frmInner", "Inner") {
      Command1.onClick = [this] {
        answer = "yes";
        Unload();
      };
    }
    forms::CommandButton Command1{*this, "Command1", "Yes"};
    std::string answer = "nothing";

   protected:
    void Form_Load() override { answer = "nothing"; }
  } inner;

  forms::Label Label1{*this, "Label1"};
  forms::CommandButton Command1{*this, "Command1", "Ask"};
  bool refuseClose = false;
  std::vector<int> queryModes;
  std::string lastLabel;

 protected:
  void Form_QueryUnload(bool& cancel, int mode) override {
    queryModes.push_back(mode);
    lastLabel = Label1.Caption();
    cancel = refuseClose;
    refuseClose = false;
  }
};

TEST(Form, ModalFormShowingAnotherModalForm) {
  frmOuter outer;
  forms::ScriptedOperator op;
  op.On("Outer", {"click Ask", "click Ask", "close"});
  op.On("frmInner", {"click Yes", "close"});
  outer.Show(forms::ShowMode::Modal);
  EXPECT_EQ(op.TimesShown("frmInner"), 2);
  EXPECT_EQ(op.TimesShown("frmOuter"), 1);
  EXPECT_EQ(op.Pending("frmInner"), 0u);
  // The second inner show was closed by its close box, which sets no answer.
  EXPECT_EQ(outer.lastLabel, "inner said nothing");
  std::string transcript = op.TranscriptText();
  EXPECT_NE(transcript.find("> frmInner: click Yes\n-- closed frmInner\n"), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("> frmInner: close\n-- closed frmInner\n> frmOuter: close"), std::string::npos) << transcript;
}

TEST(Form, CloseBoxCanBeRefused) {
  frmOuter outer;
  outer.refuseClose = true;
  forms::ScriptedOperator op;
  op.On("frmOuter", {"close", "close"});
  outer.Show(forms::ShowMode::Modal);
  EXPECT_EQ(outer.queryModes, (std::vector<int>{forms::kFormControlMenu, forms::kFormControlMenu}));
  outer.Show();
  outer.Unload();
  EXPECT_EQ(outer.queryModes.back(), forms::kFormCode);
}

TEST(Form, MessageBoxesGoToTheOperator) {
  forms::ScriptedOperator op;
  op.AnswerMessageBoxes({forms::kNo});
  EXPECT_EQ(forms::MsgBox("Delete?", forms::kYesNo, "Confirm"), forms::kNo);
  EXPECT_EQ(forms::MsgBox("Saved", forms::kOKOnly + forms::kExclamation, "TavoWriter Word Addin"), forms::kOK);
  EXPECT_EQ(op.MessageBoxes(), (std::vector<std::string>{"Delete?", "Saved"}));
  EXPECT_EQ(op.Transcript().back().caption, "TavoWriter Word Addin");
  EXPECT_EQ(forms::Render(forms::MessageBoxRequest{"Saved", forms::kExclamation, "T"}), "[MsgBox] \"T\"\n  \"Saved\"\n  [OK]\n");
}

TEST(Form, NoOperatorMeansNoModalShow) {
  frmLogin form;
  EXPECT_THROW(form.Show(forms::ShowMode::Modal), forms::OperatorError);
  EXPECT_THROW(forms::MsgBox("x"), forms::OperatorError);
}

class frmChoices : public forms::Form {
 public:
  frmChoices() : Form("frmChoices", "Choices") {
    listdoc.onClick = [this] { clicked.push_back(listdoc.Text()); };
    listdoc.onDblClick = [this] { opened = listdoc.Text(); };
  }
  forms::ListBox listdoc{*this, "listdoc"};
  forms::OptionButton Option1{*this, "Option1", "All Rights Reserved"};
  forms::OptionButton Option2{*this, "Option2", "Attribution"};
  forms::Frame Frame1{*this, "Frame1", "Other"};
  forms::OptionButton Option3{Frame1, "Option3", "Mine"};
  forms::OptionButton Option4{Frame1, "Option4", "Yours"};
  forms::ProgressBar ProgressBar1{*this, "ProgressBar1"};
  forms::Image Image1{*this, "Image1"};
  forms::Timer Timer1{*this, "Timer1"};
  std::vector<std::string> clicked;
  std::string opened;

 protected:
  void Form_Load() override {
    listdoc.AddItem("Report");
    listdoc.AddItem("Budget");
    listdoc.AddItem("Agenda", 0);
    Option1.SetValue(true);
  }
};

TEST(Form, ListSelectionAndDoubleClick) {
  frmChoices form;
  forms::ScriptedOperator op;
  op.On("frmChoices", {"select listdoc 1", "select listdoc \"Budget\"", "select listdoc 1", "dblclick listdoc 0", "close"});
  form.Show(forms::ShowMode::Modal);
  // Choosing the entry that is already selected changes nothing and raises nothing.
  EXPECT_EQ(form.clicked, (std::vector<std::string>{"Report", "Budget", "Report", "Agenda"}));
  EXPECT_EQ(form.opened, "Agenda");
  const forms::TranscriptEntry& last = op.Transcript()[op.Transcript().size() - 2];  // before "closed"
  EXPECT_EQ(last.text, "close");
  EXPECT_NE(last.before.find("> 0  Agenda"), std::string::npos) << last.before;
}

// An entry's trailing blanks do not show on the screen; the text as shown finds the entry, and an
// entry that is exactly the text comes first.
TEST(Form, ListEntryIsFoundByItsTextAsShown) {
  frmChoices form;
  forms::ScriptedOperator op;
  form.Load();  // Agenda, Report, Budget
  form.listdoc.AddItem("Draft plan ");
  form.listdoc.AddItem("Notes  ");
  form.listdoc.AddItem("Notes");
  form.Show();
  forms::Perform(form, "select listdoc \"Draft plan\"");
  EXPECT_EQ(form.listdoc.ListIndex(), 3);
  forms::Perform(form, "select listdoc Notes");
  EXPECT_EQ(form.listdoc.ListIndex(), 5);
  EXPECT_THROW(forms::Perform(form, "select listdoc \"Draft\""), forms::OperatorError);
  form.Unload();
}

TEST(Form, ListKeepsItsSelectionAndItemDataOnItsEntry) {
  frmChoices form;
  forms::ListBox& list = form.listdoc;  // Agenda, Report, Budget
  list.SetListIndex(1);
  list.SetItemData(1, "report.doc");
  list.AddItem("First", 0);
  EXPECT_EQ(list.Text(), "Report");
  EXPECT_EQ(list.ItemData(2), "report.doc");
  EXPECT_EQ(list.ItemData(0), "");
  list.RemoveItem(0);
  EXPECT_EQ(list.ListIndex(), 1);
  EXPECT_EQ(list.ItemData(1), "report.doc");
  EXPECT_EQ(list.ItemData(7), "");
  EXPECT_EQ(RaisedNumber([&] { list.SetItemData(3, "x"); }), 381);
  list.RemoveItem(1);
  EXPECT_EQ(list.ListIndex(), -1);
  EXPECT_EQ(list.Text(), "");
  EXPECT_EQ(list.List(7), "");
  EXPECT_EQ(RaisedNumber([&] { list.RemoveItem(5); }), 5);
  EXPECT_EQ(RaisedNumber([&] { list.SetListIndex(2); }), 380);
  EXPECT_EQ(RaisedNumber([&] { (void)list.Selected(-1); }), 381);
  EXPECT_EQ(RaisedNumber([&] { list.AddItem("x", 3); }), 5);
  EXPECT_EQ(RaisedNumber([&] { form.ProgressBar1.SetValue(101); }), 380);
  form.ProgressBar1.SetValue(60);
  form.ProgressBar1.SetMax(50);  // the value comes along
  EXPECT_EQ(form.ProgressBar1.Value(), 50);
}

TEST(Form, PicturesMustExist) {
  platform::environment::TempEnvironment env;
  std::filesystem::create_directories(env.environment().HostPath("C:\\images"));
  std::ofstream(env.environment().HostPath("C:\\images\\a.jpg")) << "jpg";
  EXPECT_EQ(forms::LoadPicture("C:\\images\\A.JPG"), "C:\\images\\A.JPG");
  EXPECT_EQ(forms::LoadPicture(""), "");
  EXPECT_EQ(RaisedNumber([] { (void)forms::LoadPicture("C:\\images\\none.jpg"); }), platform::err::FileNotFound);
}

TEST(Form, OptionButtonsExcludeOthersInTheirContainerOnly) {
  frmChoices form;
  forms::ScriptedOperator op;
  form.Show();
  forms::Perform(form, "option Option3");
  forms::Perform(form, "option Attribution");
  EXPECT_FALSE(form.Option1.Value());
  EXPECT_TRUE(form.Option2.Value());
  EXPECT_TRUE(form.Option3.Value());
  forms::Perform(form, "click Yours");
  EXPECT_FALSE(form.Option3.Value());
  EXPECT_TRUE(form.Option4.Value());
  EXPECT_TRUE(form.Option2.Value());
}

TEST(Form, RenderingShowsVisibleControlsInTabOrder) {
  frmLogin login;
  login.user = "user@example.com";
  login.Load();
  login.tavopassword.SetText("abc");
  login.rememberme.SetValue(1);
  login.Command2.SetEnabled(false);
  login.Label2.SetVisible(false);
  login.Label1.SetTabIndex(3);
  login.Show();
  EXPECT_EQ(forms::Render(login),
            "[frmLogin] \"Tavo Credentials\" (shown)\n"
            "  TextBox        tavoemailid   \"user@example.com\"  <focus>\n"
            "  TextBox        tavopassword  \"***\"\n"
            "  Label          Label1        \"Tavo ID\"\n"
            "  CheckBox       rememberme    [x]\n"
            "  CommandButton  Command1      \"&Save\"\n"
            "  CommandButton  Command2      \"Cancel\"  (disabled)\n");

  frmChoices choices;
  choices.Load();
  choices.listdoc.SetListIndex(2);
  choices.ProgressBar1.SetValue(40);
  choices.Option4.SetValue(true);
  choices.Frame1.SetCaption("Say \"hi\"\nthere");
  EXPECT_EQ(forms::Render(choices),
            "[frmChoices] \"Choices\" (hidden)\n"
            "  ListBox       listdoc       3 entries\n"
            "                                0  Agenda\n"
            "                                1  Report\n"
            "                              > 2  Budget\n"
            "  OptionButton  Option1       (o) \"All Rights Reserved\"\n"
            "  OptionButton  Option2       ( ) \"Attribution\"\n"
            "  Frame         Frame1        \"Say \\\"hi\\\"\\nthere\"\n"
            "  OptionButton  Option3       ( ) \"Mine\"\n"
            "  OptionButton  Option4       (o) \"Yours\"\n"
            "  ProgressBar   ProgressBar1  0..100 = 40\n"
            "  Image         Image1        (no picture)\n");
  choices.Frame1.SetVisible(false);
  EXPECT_EQ(forms::Render(choices).find("Option3"), std::string::npos);
}

// Past ten entries the numbers line up; a picture shows by its tool tip; and from one picture
// of a form to the next only the caption and what changed are told.
TEST(Form, RenderingAlignsEntriesShowsPicturesAndTellsChanges) {
  frmChoices choices;
  choices.Load();
  for (int i = 3; i < 12; ++i) choices.listdoc.AddItem("Entry " + std::to_string(i));
  choices.Image1.SetToolTipText("Click me");
  const auto before = forms::RenderLines(choices);
  const std::string whole = forms::Render(choices);
  for (const char* line : {"  0  Agenda\n", "  9  Entry 9\n", " 10  Entry 10\n", " 11  Entry 11\n",
                           "Image1        picture, tool tip \"Click me\"\n"})
    EXPECT_NE(whole.find(line), std::string::npos) << line << "\n--- in ---\n" << whole;

  choices.listdoc.SetListIndex(10);
  choices.Frame1.SetVisible(false);
  EXPECT_EQ(forms::RenderChanges(before, forms::RenderLines(choices)),
            "[frmChoices] \"Choices\" (hidden)\n"
            "  (Frame1 is no longer shown)\n"
            "  (Option3 is no longer shown)\n"
            "  (Option4 is no longer shown)\n"
            "  ListBox       listdoc       12 entries\n"
            "                              > 10  Entry 10\n");
}

// A form that lives until the process ends, as one held by a library's globals does, goes after
// the lists of loaded forms, timers and browsers that it entered when it was made.
class frmResident : public forms::Form {
 public:
  frmResident() : Form("frmResident") {}
  forms::Timer Timer1{*this, "Timer1"};
  forms::WebBrowser utilsBrowser{*this, "utilsBrowser"};
};

TEST(FormLifetimeTest, AFormDestroyedAtExitOutlivesTheLists) {
  EXPECT_EXIT(
      {
        static std::optional<frmResident> resident;  // destroyed after anything made later
        resident.emplace();
        resident->Load();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
