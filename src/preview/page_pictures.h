#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>

#include "preview/page_geometry.h"

namespace redadado {

// The drawing of the page view and the page overview, shared by the windows and the
// command-line tool so that both show the very same pixels. Needs a QGuiApplication for text.

// Kana text and page labels: IPA Gothic at 10 points on a 96-dpi screen (13 pixels), whatever
// the screen, so that a picture is the same everywhere.
QFont PreviewFont(bool bold);

// The page view's picture: navy, white dot crosses and white kana on navy.
QImage DrawPage(const PageLayout& layout);

// Paints the slots of the pages in `span` in overview coordinates: the navy page area, the
// white dot pixels and the label. Pages of a model that could not be read stay empty.
void PaintThumbnails(QPainter& painter, const OverviewModel& model, PageSpan span);

// The whole overview picture on the button-face background.
QImage DrawOverview(const OverviewModel& model);

}  // namespace redadado
