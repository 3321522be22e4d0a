#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "main_window/control_table.h"

namespace {

bool visible(const ControlSpec& spec) { return spec.kind != ControlKind::Timer; }

bool overlap(const TwipsRect& a, const TwipsRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

}  // namespace

TEST(ControlTable, NamesEveryControlOnceUnderItsOwnName) {
  std::set<Control> ids;
  std::set<std::wstring_view> names;
  for (const ControlSpec& spec : kControls) {
    ids.insert(spec.id);
    names.insert(spec.name);
  }
  EXPECT_EQ(ids.size(), 21u);
  EXPECT_EQ(names.size(), 21u);
  EXPECT_EQ(control_spec(Control::Command10).name, L"Command10");
  EXPECT_EQ(control_spec(Control::Text3).name, L"Text3");
  EXPECT_EQ(control_spec(Control::Label4).name, L"Label4");
}

// The design written out once more by hand, row by row in creation order, so that a slip in
// the table (a width, a caption, a place in the focus order) cannot pass by comparing the
// window with the table it was built from.
TEST(ControlTable, HoldsTheDesignRowByRowInCreationOrder) {
  struct Row {
    const wchar_t* name;
    const wchar_t* caption;
    int left, top, width, height, tab;
  };
  const Row design[] = {
      {L"Text3", L"Enter Second If You want to countdown", 960, 3840, 3015, 285, 16},
      {L"Command10", L"Countdown Logoff", 3360, 3240, 1215, 495, 15},
      {L"Command9", L"Countdown Restart", 1800, 3240, 1335, 495, 14},
      {L"Command8", L"Cancel Set Time!", 3000, 1200, 1575, 375, 13},
      {L"Timer4", L"", 0, 0, 0, 0, -1},
      {L"Command7", L"Logoff Now", 3480, 2040, 1335, 375, 11},
      {L"Command6", L"Restart Now", 2040, 2040, 1215, 375, 10},
      {L"Command5", L"Shutdown Now", 240, 2040, 1455, 375, 9},
      {L"Command4", L"Countdown Shutdown", 120, 3240, 1575, 495, 7},
      {L"Text2", L"dd", 240, 1320, 1095, 285, 5},
      {L"Command3", L"Logoff", 3240, 600, 975, 375, 4},
      {L"Command2", L"Restart", 3840, 120, 975, 375, 3},
      {L"Command1", L"Shutdown", 2760, 120, 975, 375, 2},
      {L"Text1", L"22:00:00", 240, 600, 2415, 285, 1},
      {L"Timer3", L"", 0, 0, 0, 0, -1},
      {L"Timer1", L"", 0, 0, 0, 0, -1},
      {L"Timer2", L"", 0, 0, 0, 0, -1},
      {L"Label4",
       L"With Varnok Engine Technology You don't have to wait to close prevent shutdown or prevent restart "
       L"application, this can make your pc shutdown fast!",
       240, 2520, 4455, 615, 12},
      {L"Label3", L"Created by Mira Kestrel", 1680, 1680, 2055, 255, 8},
      {L"Label2", L"Select Date", 240, 960, 975, 255, 6},
      {L"Label1", L"Enter Like This Format 22:00:00", 240, 120, 2415, 255, 0},
  };
  ASSERT_EQ(std::size(design), kControls.size());
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    const ControlSpec& spec = kControls[i];
    const Row& row = design[i];
    SCOPED_TRACE(std::wstring{row.name});
    EXPECT_EQ(spec.name, row.name);
    EXPECT_EQ(spec.caption, row.caption);
    EXPECT_EQ(spec.rect.left, row.left);
    EXPECT_EQ(spec.rect.top, row.top);
    EXPECT_EQ(spec.rect.width, row.width);
    EXPECT_EQ(spec.rect.height, row.height);
    EXPECT_EQ(spec.tab_index, row.tab);
  }
  EXPECT_EQ(kForm.title, L"Varnok Shutdon Manager");
  EXPECT_EQ(kForm.client_width_twips, 4890);
  EXPECT_EQ(kForm.client_height_twips, 4185);
}

TEST(ControlTable, VisibleControlsLieInsideTheClientAreaWithoutOverlapping) {
  for (const ControlSpec& a : kControls) {
    if (!visible(a)) continue;
    EXPECT_GE(a.rect.left, 0);
    EXPECT_GE(a.rect.top, 0);
    EXPECT_LE(a.rect.left + a.rect.width, kForm.client_width_twips) << std::wstring{a.name};
    EXPECT_LE(a.rect.top + a.rect.height, kForm.client_height_twips) << std::wstring{a.name};
    for (const ControlSpec& b : kControls) {
      if (&a == &b || !visible(b)) continue;
      EXPECT_FALSE(overlap(a.rect, b.rect)) << std::wstring{a.name} << " / " << std::wstring{b.name};
    }
  }
}

TEST(ControlTable, FocusVisitsTheThirteenControlsInTheirOrder) {
  const std::vector<Control> expected = {
      Control::Text1,    Control::Command1, Control::Command2, Control::Command3, Control::Text2,
      Control::Command4, Control::Command5, Control::Command6, Control::Command7, Control::Command8,
      Control::Command9, Control::Command10, Control::Text3};
  EXPECT_EQ(focus_order(), expected);
  // Labels hold places in the tab order but never take the focus.
  const std::vector<Control> places = tab_order();
  ASSERT_EQ(places.size(), 17u);
  EXPECT_EQ(places[0], Control::Label1);
  EXPECT_EQ(places[6], Control::Label2);
  EXPECT_EQ(places[8], Control::Label3);
  EXPECT_EQ(places[12], Control::Label4);
}

TEST(ControlTable, OnlyTheFieldFillerTimerRunsAtCreation) {
  for (const ControlSpec& spec : kControls) {
    if (spec.kind != ControlKind::Timer) continue;
    EXPECT_EQ(spec.timer_interval_ms, 1) << std::wstring{spec.name};
    EXPECT_EQ(spec.timer_enabled_at_creation, spec.id == Control::Timer4) << std::wstring{spec.name};
  }
}

TEST(ControlTable, OnlyLabel4HasItsOwnFontAndColour) {
  for (const ControlSpec& spec : kControls) {
    if (spec.id == Control::Label4) continue;
    EXPECT_EQ(spec.font, nullptr) << std::wstring{spec.name};
    EXPECT_FALSE(spec.text_colour) << std::wstring{spec.name};
  }
  const ControlSpec& label4 = control_spec(Control::Label4);
  ASSERT_NE(label4.font, nullptr);
  EXPECT_EQ(label4.font->face, L"Microsoft Sans Serif");
  EXPECT_EQ(label4.font->hundredths_of_point, 825);
  EXPECT_EQ(label4.font->weight, 400);
  EXPECT_EQ(label4.text_colour, kRed);
  EXPECT_EQ(kForm.background, (Rgb{0, 255, 255}));
  ASSERT_NE(kForm.font, nullptr);  // the face and size the layout was drawn for
  EXPECT_EQ(kForm.font->face, L"MS Sans Serif");
  EXPECT_EQ(kForm.font->hundredths_of_point, 825);
  EXPECT_EQ(kForm.font->weight, 400);
}

TEST(ControlTable, NoCaptionHoldsAnAccessKey) {
  for (const ControlSpec& spec : kControls)
    EXPECT_EQ(spec.caption.find(L'&'), std::wstring_view::npos) << std::wstring{spec.name};
}

TEST(TwipsToPixels, Gives326By279At96DotsPerInch) {
  EXPECT_EQ(twips_to_pixels(kForm.client_width_twips, 96), 326);
  EXPECT_EQ(twips_to_pixels(kForm.client_height_twips, 96), 279);
  EXPECT_EQ(twips_to_pixels(1440, 120), 120);
  EXPECT_EQ(twips_to_pixels(4890, 144), 489);
  EXPECT_EQ(twips_to_pixels(7, 96), 0);  // rounds to nearest, 7/15 of a pixel
  EXPECT_EQ(twips_to_pixels(8, 96), 1);
}
