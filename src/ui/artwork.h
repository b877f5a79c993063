// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor's own pictures, painted in code: member portraits (103 to 109), their small forms
// (123 to 129), the window icon (101) and the About picture (133).

#include <QIcon>
#include <QPixmap>

namespace orvane {

// A 50 x 50 medallion for the member of portrait id 103 to 109; a null pixmap for other ids.
QPixmap Portrait(int id);
// A 24 x 24 medallion for the small picture ids 123 to 129; a null pixmap for other ids.
QPixmap SmallPortrait(int id);
// Icon 101 with its 32 x 32 and 16 x 16 images.
QIcon AppIcon();
// Picture 133, 50 x 50.
QPixmap AboutPicture();

}  // namespace orvane
