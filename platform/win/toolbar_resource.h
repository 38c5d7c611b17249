// Toolbar resources (type 241): the image size and the command of each
// image, and a toolbar control built from one with its bitmap of the same id.
#pragma once

#include <windows.h>

#include <vector>

namespace WTL {

// The resource holds WORDs: version 1, image width, image height, count,
// then `count` command ids where 0 is a separator (no image).
struct toolbar_resource {
  int width = 0;
  int height = 0;
  std::vector<WORD> commands;
};

// Reads resource `id` of `instance`; false when it is missing, of another
// version or shorter than its count says.
bool load_toolbar_resource(HINSTANCE instance, UINT id, toolbar_resource& out);

// A toolbar control (child `controlId` of `parent`) with one button per
// command of resource `id` and the images of its bitmap; null on failure.
HWND create_toolbar_from_resource(HWND parent, UINT id, DWORD style, UINT controlId);

}  // namespace WTL
