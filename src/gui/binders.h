#pragma once
// One binder per kind of control. Each creates the widget of its control under parent,
// forwards the user's input on it to the model (inside WindowBinder::Guard) and links the
// widget so that it follows the model (WindowBinder::Link).
#include <QString>
#include <string>

class QMenuBar;
class QObject;
class QWidget;

namespace quillox {
class Button;
class CheckBox;
class ComboBox;
class Control;
class Edit;
class Gauge;
class Lines;
class Page;
class PageControl;
class Picture;
class RadioButton;
class TrackBar;
}  // namespace quillox

namespace quillox::gui {

class WindowBinder;

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// bind_edits.cpp
QWidget* BindEdit(WindowBinder& binder, Edit& model, QWidget* parent);
QWidget* BindComboBox(WindowBinder& binder, ComboBox& model, QWidget* parent);
// bind_buttons.cpp
QWidget* BindButton(WindowBinder& binder, Button& model, QWidget* parent);
QWidget* BindCheckBox(WindowBinder& binder, CheckBox& model, QWidget* parent);
QWidget* BindRadioButton(WindowBinder& binder, RadioButton& model, QWidget* parent);
// bind_lines.cpp
QWidget* BindLines(WindowBinder& binder, Lines& model, QWidget* parent);
// bind_pictures.cpp
QWidget* BindGauge(WindowBinder& binder, Gauge& model, QWidget* parent);
QWidget* BindPicture(WindowBinder& binder, Picture& model, QWidget* parent);
// bind_track_bar.cpp
QWidget* BindTrackBar(WindowBinder& binder, TrackBar& model, QWidget* parent);
// bind_pages.cpp
QWidget* BindPageControl(WindowBinder& binder, PageControl& model, QWidget* parent);
QWidget* BindPage(WindowBinder& binder, Page& model, QWidget* parent);
// bind_frames.cpp: group boxes and panels
QWidget* BindGroupBox(WindowBinder& binder, Control& model, QWidget* parent);
QWidget* BindPanel(WindowBinder& binder, Control& model, QWidget* parent);
// bind_labels.cpp
QWidget* BindLabel(WindowBinder& binder, Control& model, QWidget* parent);

// bind_menus.cpp, bind_timers.cpp: no widget of their own under a parent.
void BindMenus(WindowBinder& binder, QMenuBar* bar);
void BindTimers(WindowBinder& binder, QObject* owner);

}  // namespace quillox::gui
