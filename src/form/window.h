#pragma once
// Base of the program's windows (main window, About box, signal window): caption, position,
// size, the registry of its controls, keyboard focus and closing.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace quillox {

class Control;
class Dialogs;

class Window {
public:
    Window(Dialogs& dialogs, std::string caption, int width, int height);
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const std::string& caption() const { return caption_; }
    int top() const { return top_; }
    int left() const { return left_; }
    void setTop(int top);
    void setLeft(int left);
    int width() const { return width_; }
    int height() const { return height_; }

    // Runs the close handling on the calling thread, then marks the window closed and tells
    // the observers. The main window closes once; dialogs may close once per showing.
    void Close();
    bool closed() const { return closed_; }
    void Reopen();  // a modal window about to be shown again
    // A close asked for from any thread, a job's among them. A front end whose window lives on
    // one thread sets a handler that hands the close over to it; without one, Close() runs on
    // the calling thread.
    void RequestClose();
    void setCloseRequestHandler(std::function<void()> handler);
    int subscribeClosed(std::function<void()> observer);
    void unsubscribeClosed(int id);

    Control* focusedControl() const { return focused_; }
    void noteFocus(Control* control) { focused_ = control; }

    const std::vector<Control*>& controls() const { return controls_; }  // in creation order
    Control* findControl(const std::string& name) const;
    void registerControl(Control* control);  // called by Control's constructor

    Dialogs& dialogs() const { return dialogs_; }

protected:
    virtual void OnClose() {}
    bool closeOnce_ = false;

private:
    Dialogs& dialogs_;
    const std::string caption_;
    std::atomic<int> top_{100};
    std::atomic<int> left_{100};
    const int width_;
    const int height_;
    std::atomic<bool> closing_{false};
    std::atomic<bool> closed_{false};
    std::atomic<Control*> focused_{nullptr};
    std::vector<Control*> controls_;  // filled during construction only

    std::mutex closeRequestMutex_;
    std::function<void()> closeRequestHandler_;

    std::mutex observerMutex_;
    std::vector<std::pair<int, std::function<void()>>> closedObservers_;
    int nextObserverId_ = 1;
};

}  // namespace quillox
