#pragma once

// The pictures of the toolbar buttons: small drawings of our own on a
// 16 x 16 grid (x to the right, y down), a base picture and, for some
// commands, a badge drawn over its lower right corner. A drawing is a
// text of blank-separated operations, run in order:
//   p RRGGBB W   pen of that colour and width; "p -" no pen
//   D            dashed lines for the current pen
//   f RRGGBB     fill of that colour; "f -" no fill
//   M x y        starts a figure; L x y a line to the point; Z closes it
//   E cx cy rx ry  an ellipse; R x y w h  a rectangle
//   A cx cy r start span  an arc of a circle (degrees, counter-clockwise
//                  from three o'clock)
//   .            paints what was added since the last "." with the pen
//                and fill
struct ToolbarPicture {
    const char* base;
    const char* badge; // null: none
};

// The picture of a command's button; base null when it has none.
ToolbarPicture FindToolbarPicture(int commandId);
