#pragma once

#include <QFontMetrics>
#include <QString>

namespace redadado {

// Text that a fixed space must hold, made to fit without cutting a word in two.

// `text` broken into lines no wider than `width` where it can be: after a sentence's end (。)
// first; inside a sentence too wide for a line only after a clause's end (、), a path separator
// or a blank; and at the line ends it already has. A piece wider than `width` stands whole on a
// line of its own.
QString BreakLines(const QString& text, const QFontMetrics& metrics, int width);

// A file's path shortened to `width` by leaving out the middle of its folder part: the file
// name stays whole (and alone is elided in its middle only when even it does not fit).
QString ElidedPath(const QString& path, const QFontMetrics& metrics, int width);

}  // namespace redadado
