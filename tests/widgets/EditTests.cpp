// Text fields: typing through the key rules, the change event, length and read-only.
#include "HexEdit/HexEdit.h"
#include "IPEdit/IPEdit.h"
#include "NoFailures.h"
#include "WidgetTestResources.h"
#include "widgets/Edit.h"
#include "widgets/Form.h"

#include <gtest/gtest.h>

using namespace widgets_test;

namespace {

struct EditForm : widgets::Form {
    EditForm() : Form(L"TWidgetEditForm", IDD_EditForm) {}
    ~EditForm() override { DestroyHandle(); }
    widgets::Edit plain{*this, IDC_Edit};
    THexEdit hex{*this, IDC_HexEdit};
    // The template holds an address field too: its class must exist for the form to.
    TIPEdit address{*this, IDC_IPEdit};
};

void Type(const widgets::Edit& edit, const std::wstring& keys) {
    for (wchar_t key : keys)
        ::SendMessageW(edit.Handle(), WM_CHAR, key, 0);
}

struct EditTest : ::testing::Test {
    fake::FakePlatform fake;
    EditForm form;
    int changes = 0;
    void SetUp() override {
        form.plain.OnChange = [this] { ++changes; };
        form.CreateHandle();
    }
    void TearDown() override { EXPECT_TRUE(NoFailureReported(fake)); }
};

} // namespace

TEST_F(EditTest, TypingChangesTheTextAndRaisesTheChangeEachTime) {
    Type(form.plain, L"ab");
    EXPECT_EQ(form.plain.Text(), L"ab");
    EXPECT_EQ(changes, 2);
}

TEST_F(EditTest, WritingTheTextShownAlreadyIsNoChangeButAfterTypingItIs) {
    form.plain.SetText(L"x");
    EXPECT_EQ(changes, 1);
    form.plain.SetText(L"x");
    EXPECT_EQ(changes, 1);
    // The user typed since: the same write must bring the text back.
    Type(form.plain, L"y");
    form.plain.SetText(L"x");
    EXPECT_EQ(form.plain.Text(), L"x");
}

TEST_F(EditTest, TheKeyHookSwallowsWhatItRefuses) {
    form.plain.OnKeyPress = [](wchar_t key) { return key != L'z'; };
    Type(form.plain, L"azb");
    EXPECT_EQ(form.plain.Text(), L"ab");
}

TEST_F(EditTest, MaxLengthAndReadOnlyHoldAgainstTyping) {
    form.plain.SetMaxLength(3);
    Type(form.plain, L"12345");
    EXPECT_EQ(form.plain.Text(), L"123");
    form.plain.SetReadOnly(true);
    Type(form.plain, L"\b");
    EXPECT_EQ(form.plain.Text(), L"123");
    // The program itself may still write it.
    form.plain.SetText(L"9");
    EXPECT_EQ(form.plain.Text(), L"9");
}

TEST_F(EditTest, SettingsMadeBeforeTheWindowApplyToIt) {
    EditForm late;
    late.plain.SetMaxLength(2);
    late.plain.SetText(L"q");
    late.CreateHandle();
    EXPECT_EQ(late.plain.Text(), L"q");
    Type(late.plain, L"rs");
    EXPECT_EQ(late.plain.Text().size(), 2u);
}

TEST_F(EditTest, TheHexFieldTakesHexDigitsOfEitherCaseAndBackspaceOnly) {
    Type(form.hex, L"g -Aa09fF\x01");
    EXPECT_EQ(form.hex.Text(), L"Aa09fF");
    Type(form.hex, L"\b");
    EXPECT_EQ(form.hex.Text(), L"Aa09f");
}
