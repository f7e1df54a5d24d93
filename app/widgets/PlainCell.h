// A plain cell of a report list painted straight away: its text laid out once and drawn where
// QStyledItemDelegate draws it under the Fusion style, with the same pixels. The standard
// drawing lays the same text out five times over (for the check box, icon and text places, the
// eliding and the drawing) before drawing it once.
#pragma once

class QPainter;
class QStyleOptionViewItem;

// Paints the cell `option` describes (as QStyledItemDelegate::initStyleOption fills it in) when
// it is plain: the Fusion style without a style sheet, enabled or not, neither selected nor
// focused nor being edited, no check box, icon or background brush, one line of text that fits
// without eliding, the decoration shown as selected (whole rows selected), text left or right
// of the decoration. Returns false, having painted nothing, for any other cell.
bool PaintPlainCell(QPainter* painter, const QStyleOptionViewItem& option);
