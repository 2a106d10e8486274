#include "form/controls.h"

#include <algorithm>

#include "form/window.h"

namespace quillox {

// --- Edit, ComboBox ---------------------------------------------------------------------------

Edit::Edit(Window& owner, Control* parent, std::string name, std::string text)
    : Edit(owner, parent, ControlKind::Edit, std::move(name), std::move(text)) {}

Edit::Edit(Window& owner, Control* parent, ControlKind kind, std::string name, std::string text)
    : Control(owner, parent, kind, std::move(name), std::move(text)) {}

void Edit::setText(const std::string& text) {
    {
        std::lock_guard lock(mutex_);
        if (text_ == text) return;
        text_ = text;
    }
    Notify();
    Fire(onChange);
}

bool Edit::readOnly() const {
    std::lock_guard lock(mutex_);
    return readOnly_;
}

void Edit::setReadOnly(bool readOnly) {
    {
        std::lock_guard lock(mutex_);
        if (readOnly_ == readOnly) return;
        readOnly_ = readOnly;
    }
    Notify();
}

int Edit::maxLength() const {
    std::lock_guard lock(mutex_);
    return maxLength_;
}

void Edit::setMaxLength(int length) {
    std::lock_guard lock(mutex_);
    maxLength_ = length;
}

ComboBox::ComboBox(Window& owner, Control* parent, std::string name, std::string text,
                   std::vector<std::string> items)
    : Edit(owner, parent, ControlKind::ComboBox, std::move(name), std::move(text)),
      items_(std::move(items)) {}

bool ComboBox::hasItem(const std::string& text) const {
    return std::find(items_.begin(), items_.end(), text) != items_.end();
}

void ComboBox::selectAll() {
    {
        std::lock_guard lock(mutex_);
        textSelected_ = true;
    }
    owner().noteFocus(this);
    Notify(Change::Focus);
}

bool ComboBox::textSelected() const {
    std::lock_guard lock(mutex_);
    return textSelected_;
}

void ComboBox::setText(const std::string& text) {
    {
        std::lock_guard lock(mutex_);
        textSelected_ = false;
    }
    Edit::setText(text);
}

// --- CheckBox, RadioButton, Button ------------------------------------------------------------

CheckBox::CheckBox(Window& owner, Control* parent, std::string name, std::string caption,
                   bool checked)
    : Control(owner, parent, ControlKind::CheckBox, std::move(name), std::move(caption)),
      checked_(checked) {}

bool CheckBox::checked() const {
    std::lock_guard lock(mutex_);
    return checked_;
}

void CheckBox::setChecked(bool checked) {
    {
        std::lock_guard lock(mutex_);
        if (checked_ == checked) return;
        checked_ = checked;
    }
    Notify();
    Fire(onClick);
}

void CheckBox::click() {
    {
        std::lock_guard lock(mutex_);
        checked_ = !checked_;
    }
    Notify();
    Fire(onClick);
}

RadioButton::RadioButton(Window& owner, Control* parent, std::string name, std::string caption,
                         bool checked)
    : Control(owner, parent, ControlKind::RadioButton, std::move(name), std::move(caption)),
      checked_(checked) {}

bool RadioButton::checked() const {
    std::lock_guard lock(mutex_);
    return checked_;
}

bool RadioButton::SetState(bool checked) {
    {
        std::lock_guard lock(mutex_);
        if (checked_ == checked) return false;
        checked_ = checked;
    }
    if (checked) {
        for (Control* other : owner().controls()) {
            if (other == this || other->kind() != ControlKind::RadioButton ||
                other->parent() != parent())
                continue;
            static_cast<RadioButton*>(other)->SetState(false);
        }
    }
    Notify();
    return true;
}

void RadioButton::setChecked(bool checked) {
    if (SetState(checked) && checked) Fire(onClick);
}

void RadioButton::click() {
    SetState(true);
    Fire(onClick);
}

void RadioButton::mouseUp() { Fire(onMouseUp); }

Button::Button(Window& owner, Control* parent, std::string name, std::string caption)
    : Button(owner, parent, ControlKind::Button, std::move(name), std::move(caption)) {}

Button::Button(Window& owner, Control* parent, ControlKind kind, std::string name,
               std::string caption)
    : Control(owner, parent, kind, std::move(name), std::move(caption)) {}

void Button::click() { Fire(onClick); }

MenuItem::MenuItem(Window& owner, Control* menu, std::string name, std::string caption)
    : Button(owner, menu, ControlKind::MenuItem, std::move(name), std::move(caption)) {}

// --- Lines --------------------------------------------------------------------------------------

Lines::Lines(Window& owner, Control* parent, std::string name)
    : Control(owner, parent, ControlKind::Lines, std::move(name), "") {}

std::vector<std::string> Lines::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

int Lines::count() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(lines_.size());
}

std::string Lines::line(int index) const {
    std::lock_guard lock(mutex_);
    if (index < 0 || index >= static_cast<int>(lines_.size())) return "";
    return lines_[index];
}

void Lines::append(const std::string& line) {
    {
        std::lock_guard lock(mutex_);
        lines_.push_back(line);
    }
    Notify();
}

void Lines::removeLine(int index) {
    {
        std::lock_guard lock(mutex_);
        if (index < 0 || index >= static_cast<int>(lines_.size())) return;
        lines_.erase(lines_.begin() + index);
    }
    Notify();
}

void Lines::clear() {
    {
        std::lock_guard lock(mutex_);
        if (lines_.empty()) return;
        lines_.clear();
    }
    Notify();
}

void Lines::setText(const std::string& text) {
    std::vector<std::string> split;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        split.push_back(text.substr(start, stop - start));
        start = end + 1;
    }
    {
        std::lock_guard lock(mutex_);
        lines_ = std::move(split);
    }
    Notify();
}

std::string Lines::text() const {
    std::lock_guard lock(mutex_);
    std::string joined;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0) joined += "\r\n";
        joined += lines_[i];
    }
    return joined;
}

bool Lines::readOnly() const {
    std::lock_guard lock(mutex_);
    return readOnly_;
}

void Lines::setReadOnly(bool readOnly) {
    {
        std::lock_guard lock(mutex_);
        if (readOnly_ == readOnly) return;
        readOnly_ = readOnly;
    }
    Notify();
}

// --- Gauge, Picture -----------------------------------------------------------------------------

Gauge::Gauge(Window& owner, Control* parent, std::string name)
    : Control(owner, parent, ControlKind::Gauge, std::move(name), "") {}

int Gauge::position() const {
    std::lock_guard lock(mutex_);
    return position_;
}

void Gauge::setPosition(int position) {
    position = std::clamp(position, 0, 100);
    {
        std::lock_guard lock(mutex_);
        if (position_ == position) return;
        position_ = position;
    }
    Notify();
}

uint32_t Gauge::colour() const {
    std::lock_guard lock(mutex_);
    return colour_;
}

void Gauge::setColour(uint32_t rgb) {
    {
        std::lock_guard lock(mutex_);
        if (colour_ == rgb) return;
        colour_ = rgb;
    }
    Notify();
}

Picture::Picture(Window& owner, Control* parent, std::string name, int width, int height)
    : Control(owner, parent, ControlKind::Picture, std::move(name), ""),
      width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * height, 0xFFFFFF) {}

int Picture::width() const {
    std::lock_guard lock(mutex_);
    return width_;
}

void Picture::setWidth(int width) {
    width = std::max(0, width);
    {
        std::lock_guard lock(mutex_);
        if (width_ == width) return;
        std::vector<uint32_t> resized(static_cast<size_t>(width) * height_, 0xFFFFFF);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < std::min(width, width_); ++x)
                resized[static_cast<size_t>(y) * width + x] =
                    pixels_[static_cast<size_t>(y) * width_ + x];
        pixels_ = std::move(resized);
        width_ = width;
    }
    Notify();
}

int Picture::height() const {
    std::lock_guard lock(mutex_);
    return height_;
}

uint32_t Picture::pixel(int x, int y) const {
    std::lock_guard lock(mutex_);
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0xFFFFFF;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

void Picture::setPixel(int x, int y, uint32_t rgb) {
    {
        std::lock_guard lock(mutex_);
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        pixels_[static_cast<size_t>(y) * width_ + x] = rgb;
    }
    Notify();
}

void Picture::click() { Fire(onClick); }

// --- Containers, labels, menus ----------------------------------------------------------------

Page::Page(Window& owner, Control* parent, std::string name, std::string caption)
    : Control(owner, parent, ControlKind::Page, std::move(name), std::move(caption)) {}

void Page::show() { Fire(onShow); }

PageControl::PageControl(Window& owner, Control* parent, std::string name)
    : Control(owner, parent, ControlKind::PageControl, std::move(name), "") {}

Page* PageControl::activePage() const {
    std::lock_guard lock(mutex_);
    return active_;
}

void PageControl::setActivePage(Page* page) {
    {
        std::lock_guard lock(mutex_);
        if (active_ == page) return;
        active_ = page;
    }
    Notify();
    if (page != nullptr) page->show();
}

GroupBox::GroupBox(Window& owner, Control* parent, std::string name, std::string caption)
    : Control(owner, parent, ControlKind::GroupBox, std::move(name), std::move(caption)) {}

Panel::Panel(Window& owner, Control* parent, std::string name, std::string caption)
    : Control(owner, parent, ControlKind::Panel, std::move(name), std::move(caption)) {}

Label::Label(Window& owner, Control* parent, std::string name, std::string caption)
    : Control(owner, parent, ControlKind::Label, std::move(name), std::move(caption)) {}

Menu::Menu(Window& owner, std::string name, std::string caption)
    : Control(owner, nullptr, ControlKind::Menu, std::move(name), std::move(caption)) {}

// --- TrackBar, Timer ----------------------------------------------------------------------------

TrackBar::TrackBar(Window& owner, Control* parent, std::string name, int min, int max,
                   int position)
    : Control(owner, parent, ControlKind::TrackBar, std::move(name), ""),
      min_(min),
      max_(max),
      position_(std::clamp(position, min, max)) {}

int TrackBar::position() const {
    std::lock_guard lock(mutex_);
    return position_;
}

void TrackBar::setPosition(int position) {
    position = std::clamp(position, min_, max_);
    {
        std::lock_guard lock(mutex_);
        if (position_ == position) return;
        position_ = position;
    }
    Notify();
    Fire(onChange);
}

Timer::Timer(Window& owner, std::string name, int intervalMs, bool enabled)
    : Control(owner, nullptr, ControlKind::Timer, std::move(name), ""), interval_(intervalMs) {
    setVisible(false);
    setEnabled(enabled);
}

int Timer::interval() const {
    std::lock_guard lock(mutex_);
    return interval_;
}

void Timer::setInterval(int ms) {
    {
        std::lock_guard lock(mutex_);
        if (interval_ == ms) return;
        interval_ = ms;
    }
    Notify();
}

void Timer::tick() { Fire(onTimer); }

}  // namespace quillox
