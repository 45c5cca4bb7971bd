#pragma once

class QColor;

namespace korvallestin {

struct HeaderImageList;
class ResultsItemModel;
class ResultsTableView;

// The results list's nine columns: gives `model` its captions afresh and
// `view` each column's default width, at `logical_dpi`.
void SetResultColumns(ResultsItemModel& model, ResultsTableView& view, double logical_dpi);

// The contrast of two colours as readers with low vision see it: from 1 (the
// same) to 21 (black on white), by the colours' relative luminance.
double ContrastRatio(const QColor& a, const QColor& b);
// Heading text against its face: at least this, as for any body text.
constexpr double kHeadingTextContrast = 4.5;
// A sort mark's edge against the face under a high-contrast theme, as for
// any part of a control that must be seen.
constexpr double kHighContrastEdgeContrast = 3.0;

// Loads the sort marks into `icons` and colours `view`'s column headings.
// Normally the headings get the grey button face the marks are drawn for,
// with text readable on it. Under a high-contrast theme the theme's own face
// and text stay, and the marks' edges are redrawn where they would vanish
// into that face.
void LoadSortMarks(HeaderImageList& icons, ResultsTableView& view, bool high_contrast_theme);

}  // namespace korvallestin
