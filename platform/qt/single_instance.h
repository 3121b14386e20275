// Keeps one copy of the program per data directory.
//
// The first copy takes a lock file in the data directory and listens on a
// local socket whose name is derived from the directory. A second copy fails
// to take the lock, connects to the first, asks it to come to the front,
// and ends. The lock is released when this object is destroyed; a lock left
// by a copy that crashed is recognised as stale and taken over.
#ifndef TALLYBOOK_PLATFORM_QT_SINGLE_INSTANCE_H_
#define TALLYBOOK_PLATFORM_QT_SINGLE_INSTANCE_H_

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace tallybook::platform::qt {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class Result {
    kFirst,        // this copy holds the lock; go on starting
    kOtherRaised,  // another copy runs and was asked to come to the front
    kOtherBusy,    // another copy holds the lock but could not be reached
    kFailed,       // the lock file cannot be written (see error())
  };

  // Name of the lock file inside the data directory.
  static constexpr const char* kLockFileName = ".tallybook.lock";

  explicit SingleInstance(QString data_directory, QObject* parent = nullptr);
  ~SingleInstance() override;

  // Takes the lock or, when another copy has it, signals that copy.
  Result Acquire();
  QString error() const { return error_; }

  // The local socket name for a data directory.
  static QString ServerName(const QString& data_directory);

 signals:
  // A second copy asked this one to bring its main window to the front.
  void activationRequested();

 private:
  void OnConnection();

  QString directory_;
  std::unique_ptr<QLockFile> lock_;
  std::unique_ptr<QLocalServer> server_;
  QString error_;
};

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_SINGLE_INSTANCE_H_
