#pragma once
#include "widgets/Controls.h"
#include "widgets/CustomWindow.h"
#include "widgets/Edit.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// One octet of the address field: a borderless centred field of three characters.
class TIPByteEdit : public widgets::Edit {
public:
    TIPByteEdit(widgets::Form& owner, int id, int position);
    // Its place in the address, 0 to 3.
    const int Tag;
};

// An IPv4 address field: four octet fields with dots between them, on a bordered panel
// in the window colour. A template places the panel (class "TIPEdit"); the octets and
// dots are made with it and share its control id.
class TIPEdit : public widgets::CustomWindow {
public:
    static const WindowClass kWindowClass;
    // The panel's height when nothing says otherwise.
    static constexpr int kDefaultHeight = 21;

    TIPEdit(widgets::Form& owner, int id);
    ~TIPEdit() override;

    // The four octet texts joined by dots, as they stand.
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    // The address with the first octet in the most significant byte.
    std::uint32_t Value() const;
    void SetValue(std::uint32_t value);
    // Each octet a whole number from 0 to 255.
    bool ValidIP() const;
    bool Enabled() const { return Control::Enabled(); }
    void SetEnabled(bool on);

    TIPByteEdit& Octet(int position) { return octets_.at(static_cast<std::size_t>(position)); }
    widgets::Label& Dot(int position) { return dots_.at(static_cast<std::size_t>(position)); }

    std::function<void()> OnChange;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void()> OnEnter;
    std::function<void()> OnExit;

    // Sizes the parts to the panel (or the panel to its least size); runs on every resize.
    void Layout();

protected:
    void CreateChildren() override;
    void Attached() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool OctetKey(int position, wchar_t key);
    void OctetClick();
    void OctetLeft(int position);

    std::array<TIPByteEdit, 4> octets_;
    std::array<widgets::Label, 4> dots_;
    // Set when "." moved the focus on: the click that focus move may bring is not one.
    bool dotJump_ = false;
};
