// Painting laid-out pages: to a printer or PDF writer, or one page to an image
// for the preview. Painting never measures or wraps; it only places.
#pragma once

#include "controls/report/report.h"

#include <QImage>

class QPagedPaintDevice;
class QPainter;

namespace lty::report {

// Draws one page with the paper's top left corner at the painter's origin,
// at `dotsPerMm` device units per millimetre.
void PaintPage(QPainter& painter, const Page& page, double dotsPerMm);

// Sets the device to the report's paper without margins (the report's own
// margins are inside its pages) and paints every page. False when the
// device could not be painted on (e.g. a PDF file that cannot be written).
bool PaintReport(const LaidOutReport& report, QPagedPaintDevice& device);

// One page as an image, `dotsPerMm` pixels per millimetre, on white paper.
QImage RenderPage(const LaidOutReport& report, int page, double dotsPerMm);

} // namespace lty::report
