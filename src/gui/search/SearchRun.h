#pragma once

#include "core/search/SearchTypes.h"

#include <QObject>
#include <QString>

#include <thread>

namespace quarvo::gui {

// One search of the disks, run on a thread of its own so the dialog stays responsive; what it finds
// arrives on the GUI thread as signals, in the order found. The cancel flag is the process-wide
// CancelFlags::zipSearch. Destroying a run that has not finished cancels it and waits for it.
class SearchRun : public QObject {
    Q_OBJECT
  public:
    SearchRun(QString location, SearchCriteria criteria, QObject* parent = nullptr);
    ~SearchRun() override;

    // Clears the cancel flag and starts the search.
    void start();
    // Asks the search to stop at the next file or directory; the next location is still searched.
    void cancel();
    // Asks the whole search to stop, every location after this one included.
    void stop();
    bool isRunning() const { return m_thread.joinable() && !m_done; }
    // Waits until the thread has ended.
    void wait();

  signals:
    // What is being examined; at most every 50 ms, and the last one before the search ends.
    void examining(const QString& path);
    void found(int kind, const QString& text, const QString& archivePath);
    void finished();

  private:
    void run();

    QString m_location;
    SearchCriteria m_criteria;
    std::thread m_thread;
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_stopped{false};
};

} // namespace quarvo::gui
