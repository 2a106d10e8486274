#pragma once
// The control kinds of the window. See control.h for the threading rules.
#include <functional>
#include <string>
#include <vector>

#include "form/control.h"

namespace quillox {

class Edit : public Control {
public:
    Edit(Window& owner, Control* parent, std::string name, std::string text = "");
    void setText(const std::string& text) override;  // runs onChange only on a real change
    bool readOnly() const;
    void setReadOnly(bool readOnly);
    int maxLength() const;  // 0 = no limit (the view enforces it while typing)
    void setMaxLength(int length);

    std::function<void()> onChange;

protected:
    Edit(Window& owner, Control* parent, ControlKind kind, std::string name, std::string text);

private:
    bool readOnly_ = false;
    int maxLength_ = 0;
};

class ComboBox : public Edit {
public:
    ComboBox(Window& owner, Control* parent, std::string name, std::string text,
             std::vector<std::string> items);
    const std::vector<std::string>& items() const { return items_; }  // fixed at construction
    bool hasItem(const std::string& text) const;  // exact, case-sensitive
    void selectAll();                              // focus + whole text selected
    bool textSelected() const;                     // set by selectAll, cleared by setText/focus

    void setText(const std::string& text) override;

private:
    const std::vector<std::string> items_;
    bool textSelected_ = false;
};

class CheckBox : public Control {
public:
    CheckBox(Window& owner, Control* parent, std::string name, std::string caption,
             bool checked = false);
    bool checked() const;
    void setChecked(bool checked);  // runs onClick when the state changes
    void click();                   // user click: toggles, then onClick

    std::function<void()> onClick;

private:
    bool checked_;
};

// Radios sharing a parent form one group: checking one unchecks the others.
class RadioButton : public Control {
public:
    RadioButton(Window& owner, Control* parent, std::string name, std::string caption,
                bool checked = false);
    bool checked() const;
    // Checking runs onClick when the state changes; unchecking is silent, as for a sibling.
    void setChecked(bool checked);
    void click();    // user click: checks itself, then onClick
    void mouseUp();  // mouse released over the radio: runs onMouseUp

    std::function<void()> onClick;
    std::function<void()> onMouseUp;

private:
    bool SetState(bool checked);  // returns true when the state changed
    bool checked_;
};

class Button : public Control {
public:
    Button(Window& owner, Control* parent, std::string name, std::string caption);
    void click();  // runs onClick whatever the enabled or visible state

    std::function<void()> onClick;

protected:
    Button(Window& owner, Control* parent, ControlKind kind, std::string name,
           std::string caption);
};

class MenuItem : public Button {
public:
    MenuItem(Window& owner, Control* menu, std::string name, std::string caption);
};

class Lines : public Control {
public:
    Lines(Window& owner, Control* parent, std::string name);
    std::vector<std::string> lines() const;
    int count() const;
    std::string line(int index) const;  // "" outside the list
    void append(const std::string& line);
    void removeLine(int index);
    void clear();
    // Whole text: split on CR LF or LF; a final line end adds no empty line; "" gives no lines.
    void setText(const std::string& text) override;
    std::string text() const override;  // lines joined with CR LF
    bool readOnly() const;
    void setReadOnly(bool readOnly);

private:
    std::vector<std::string> lines_;
    bool readOnly_ = false;
};

class Gauge : public Control {
public:
    Gauge(Window& owner, Control* parent, std::string name);
    int position() const;
    void setPosition(int position);  // clamped to 0..100
    uint32_t colour() const;         // 0xRRGGBB of the bar
    void setColour(uint32_t rgb);

private:
    int position_ = 0;
    uint32_t colour_ = 0x000080;
};

class Picture : public Control {
public:
    Picture(Window& owner, Control* parent, std::string name, int width, int height);
    int width() const;
    void setWidth(int width);
    int height() const;
    uint32_t pixel(int x, int y) const;  // 0xRRGGBB; white outside the picture
    void setPixel(int x, int y, uint32_t rgb);
    void click();

    std::function<void()> onClick;

private:
    int width_;
    int height_;
    std::vector<uint32_t> pixels_;  // row-major, width_ * height_
};

// Containers and static texts: plain Control state.
class Page : public Control {
public:
    Page(Window& owner, Control* parent, std::string name, std::string caption);
    void show();  // the page became the visible one: runs onShow
    std::function<void()> onShow;
};

class PageControl : public Control {
public:
    PageControl(Window& owner, Control* parent, std::string name);
    Page* activePage() const;
    void setActivePage(Page* page);  // runs the page's onShow when it changes

private:
    Page* active_ = nullptr;
};

class GroupBox : public Control {
public:
    GroupBox(Window& owner, Control* parent, std::string name, std::string caption);
};

class Panel : public Control {
public:
    Panel(Window& owner, Control* parent, std::string name, std::string caption = "");
};

class Label : public Control {
public:
    Label(Window& owner, Control* parent, std::string name, std::string caption);
};

class Menu : public Control {
public:
    Menu(Window& owner, std::string name, std::string caption);
};

class TrackBar : public Control {
public:
    TrackBar(Window& owner, Control* parent, std::string name, int min, int max, int position);
    int min() const { return min_; }
    int max() const { return max_; }
    int position() const;
    void setPosition(int position);  // clamped to min..max; runs onChange when it changes

    std::function<void()> onChange;

private:
    const int min_;
    const int max_;
    int position_;
};

// State only: the GUI (or a tool) makes it tick by calling tick().
class Timer : public Control {
public:
    Timer(Window& owner, std::string name, int intervalMs, bool enabled);
    int interval() const;
    void setInterval(int ms);
    void tick();  // runs onTimer

    std::function<void()> onTimer;

private:
    int interval_;
};

}  // namespace quillox
