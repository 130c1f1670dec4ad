#pragma once
// The picture an account dialog shows instead of its folder picker while the
// account uses its group's home: a folder tree struck through by a red cross.
#include <QPixmap>
#include <QSize>

QPixmap GroupHomePicture(QSize size);
