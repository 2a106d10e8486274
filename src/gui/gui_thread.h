#pragma once
// Helpers for the one rule of this layer: widgets are touched on the GUI thread only, and an
// exception thrown by a handler never leaves the event loop.
#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace quillox {

class Dialogs;

namespace gui {

bool OnGuiThread();

// Posts calls, from any thread, to run later on the thread of a target QObject. Safe after the
// target is gone: the destructor detaches it (call it on the target's thread) and later posts
// are dropped, as are calls still queued for a deleted target.
class QueuedCaller {
public:
    explicit QueuedCaller(QObject* target);
    ~QueuedCaller();
    QueuedCaller(const QueuedCaller&) = delete;
    QueuedCaller& operator=(const QueuedCaller&) = delete;

    using Post = std::function<void(std::function<void()>)>;
    Post poster() const;  // copyable; may outlive this object

private:
    struct State {
        std::mutex mutex;
        QObject* target = nullptr;
    };
    std::shared_ptr<State> state_;
};

// Runs a forwarded user action or timer tick; a std::exception it throws (for example a
// conversion error of a handler) is shown in an error box and the program goes on.
void RunGuarded(Dialogs& errors, const std::function<void()>& action);

// Converts a model caption to the text a Qt widget paints without mnemonic processing:
// the model writes a literal "&" as "&&".
std::string PlainCaption(const std::string& caption);

}  // namespace gui
}  // namespace quillox
