#include "platform/window/listbox.h"

#include <cstring>

#include "platform/text/cp932.h"

namespace sw::win {
namespace {

// The bytes a line was added with, kept so that lines which are not valid code page 932 read back unchanged.
constexpr int kBytesRole = Qt::UserRole + 1;

}  // namespace

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

HWnd ListBox::handle() { return handleOf(this); }

int ListBox::count() const noexcept { return QListWidget::count(); }

std::string ListBox::lineCp932(int index) const {
    const QListWidgetItem* line = (index >= 0 && index < count()) ? item(index) : nullptr;
    if (!line) return {};
    const QString text = line->text();
    const QByteArray bytes = line->data(kBytesRole).toByteArray();
    // A line whose text was changed through Qt since it was added is encoded afresh.
    if (!bytes.isNull() && QString::fromStdU16String(text::cp932ToUtf16(bytes.toStdString())) == text) {
        return bytes.toStdString();
    }
    return text::utf16ToCp932(text.toStdU16String());
}

int ListBox::addLineCp932(std::string_view bytes) {
    auto* line = new QListWidgetItem(QString::fromStdU16String(text::cp932ToUtf16(bytes)));
    line->setData(kBytesRole, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    addItem(line);
    return count() - 1;
}

void ListBox::resetContent() { clear(); }

LResult getTextBounded(HWnd hwnd, int index, char* buffer, size_t capacity) {
    auto* list = qobject_cast<ListBox*>(widgetOf(hwnd));
    if (!list || !buffer || capacity == 0 || index < 0 || index >= list->count()) return LB_ERR;
    const std::string line = list->lineCp932(index);
    const std::string_view fitting = text::cp932Prefix(line, capacity - 1);
    std::memcpy(buffer, fitting.data(), fitting.size());
    buffer[fitting.size()] = '\0';
    return static_cast<LResult>(fitting.size());
}

}  // namespace sw::win
