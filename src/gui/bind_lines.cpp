// Multi-line lists (frequencies, symbol rates, transponders, the log) as plain text edits.
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <vector>

#include "form/controls.h"
#include "gui/binders.h"
#include "gui/window_binder.h"

namespace quillox::gui {
namespace {

// The model's line rule: split on CR LF or LF; a final line end adds no empty line.
std::vector<std::string> SplitLines(const QString& text) {
    std::vector<std::string> lines;
    if (text.isEmpty()) return lines;
    const QStringList parts = text.split('\n');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i == parts.size() - 1 && parts[i].isEmpty()) break;
        QString line = parts[i];
        if (line.endsWith('\r')) line.chop(1);
        lines.push_back(line.toStdString());
    }
    return lines;
}

QString JoinLines(const std::vector<std::string>& lines) {
    QStringList parts;
    for (const std::string& line : lines) parts << Q(line);
    return parts.join('\n');
}

void ShowLines(const std::vector<std::string>& lines, QPlainTextEdit* view) {
    const std::vector<std::string> shown = SplitLines(view->toPlainText());
    if (lines == shown) return;  // also keeps the line the user is typing
    QScrollBar* bar = view->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    const bool appended = !shown.empty() && shown.size() < lines.size() &&
                          std::equal(shown.begin(), shown.end(), lines.begin());
    if (appended) {
        // A job adding results: append only the new lines and follow them.
        for (size_t i = shown.size(); i < lines.size(); ++i) view->appendPlainText(Q(lines[i]));
        if (atEnd) bar->setValue(bar->maximum());
    } else {
        view->setPlainText(JoinLines(lines));
    }
}

}  // namespace

QWidget* BindLines(WindowBinder& binder, Lines& model, QWidget* parent) {
    auto* view = new QPlainTextEdit(parent);
    // The lists are narrow: a long line (a job's notice) wraps rather than scrolls sideways.
    view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    view->setTabChangesFocus(true);
    QObject::connect(view, &QPlainTextEdit::textChanged, view, [&binder, &model, view] {
        binder.Guard([&] { model.setText(view->toPlainText().toStdString()); });
    });
    binder.Link(model, view, [&binder, &model, view] {
        const QSignalBlocker block(view);
        view->setReadOnly(model.readOnly() || binder.HeldReadOnly(model));
        ShowLines(model.lines(), view);
        binder.ShowEnabledAndVisible(model, view);
    });
    return view;
}

}  // namespace quillox::gui
