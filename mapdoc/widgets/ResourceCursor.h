#pragma once

class QCursor;

// The mouse cursor of a resource id (res/CursorTable.h), made once; null
// when there is none.
const QCursor* ResourceCursor(int id);
