#pragma once
// The layout of the set-up dialog's pages, shared by the unit that builds
// them (configpages.cpp) and the one that runs them (formconfig.cpp).

#include <string>

#include "color.h"
#include "dialogcontrols.h"
#include "windowframe.h"

namespace configlayout {

constexpr int PanelWidth = 620;
constexpr int PanelHeight = 400;
constexpr int MenuItemHeight = 24;
constexpr int PageLeft = 176, PageTop = 8, PageWidth = 436, PageHeight = 350;
constexpr int LabelWidth = 180, FieldLeft = 196, FieldHeight = 21;
constexpr int RotorImageWidth = 200, RotorImageHeight = 100;
constexpr int GridTitleWidth = 101, GridColumnWidth = 140, GridRowHeight = 21, GridRows = 7;
// Entries 0..7 of the page list are numbered; a line separates the last two.
constexpr int NumberedEntries = 8;
constexpr gui::TColor SeparatorColor = 0x808080;
constexpr gui::TColor GridTitleColor = WorkPanelColor;

// The row of a label and its control on a page: label right-aligned in the
// left column, control from FieldLeft.
constexpr int RowTop(int row) { return GroupHeaderHeight + 8 + row * 27; }

std::u16string IntegerText(int value);

}  // namespace configlayout
