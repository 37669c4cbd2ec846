// Window closes held back while a draw waits for a worker, and carried out after it.
#include "framework/gui/close_deferral.h"

#include "framework/image/read_ahead.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

namespace {

// Holds back the closing of windows while a run waits: closing runs the program's handlers, which
// may run only while the run yields. The windows are closed once it has.
class CloseDeferral final : public QObject {
public:
    CloseDeferral() { QCoreApplication::instance()->installEventFilter(this); }
    ~CloseDeferral() override
    {
        for (const QPointer<QWidget>& window : m_deferred) {
            if (window)
                QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
        }
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() != QEvent::Close || !object->isWidgetType() || !static_cast<QWidget*>(object)->isWindow())
            return false;
        event->ignore();
        m_deferred.emplace_back(static_cast<QWidget*>(object));
        return true;
    }

private:
    std::vector<QPointer<QWidget>> m_deferred;
};

} // namespace

void DeferClosingWhileDrawsWait()
{
    ReadAhead::SetWaitGuard([] { return std::make_shared<CloseDeferral>(); });
}
