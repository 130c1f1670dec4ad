#pragma once
// A password box that masks what is typed with "*", as the program's boxes
// always have, rather than the style's own mark ("●").
class QLineEdit;

void MaskWithAsterisks(QLineEdit& box);
