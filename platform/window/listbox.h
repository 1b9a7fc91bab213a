// A list box addressed by window handle whose lines are Unicode and are read and written as code page 932
// bytes through the list-box messages:
//   LB_GETCOUNT                      -> number of lines
//   LB_GETTEXTLEN  wParam = index    -> length in code page 932 bytes, or LB_ERR for a bad index
//   LB_GETTEXT     wParam = index, lParam = char* buffer -> bytes copied, NUL-terminated; LB_ERR for a bad
//   index LB_ADDSTRING   lParam = const char* NUL-terminated   -> index of the new last line (no sorting)
//   LB_RESETCONTENT                  -> 0
// LB_GETTEXT trusts the buffer to hold LB_GETTEXTLEN + 1 bytes, as the message always has; code that reads
// into a fixed buffer uses getTextBounded, which never writes past `capacity` bytes.
#pragma once

#include <QListWidget>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/window/window.h"

namespace sw::win {

class ListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr);
    HWnd handle();

    int count() const noexcept;
    std::string lineCp932(int index) const;  // empty for a bad index
    int addLineCp932(std::string_view bytes);
    void resetContent();
};

// Copies line `index` of the list box `hwnd` into buffer[0..capacity), NUL-terminated, cutting it at a
// character boundary when it does not fit. Returns the bytes copied (without the NUL), or LB_ERR for a bad
// handle, a bad index or a capacity of 0.
LResult getTextBounded(HWnd hwnd, int index, char* buffer, size_t capacity);

}  // namespace sw::win
