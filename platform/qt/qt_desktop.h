// The desktop's calculator and web browser, reached through Qt.
#ifndef TALLYBOOK_PLATFORM_QT_QT_DESKTOP_H_
#define TALLYBOOK_PLATFORM_QT_QT_DESKTOP_H_

#include <QStringList>

#include "platform/desktop.h"

namespace tallybook::platform::qt {

class QtDesktop : public Desktop {
 public:
  // The calculators tried in turn, the first that starts wins.
  static QStringList DefaultCalculators();

  explicit QtDesktop(QStringList calculators = DefaultCalculators())
      : calculators_(std::move(calculators)) {}

  bool StartCalculator() override;
  std::vector<std::string> CalculatorPrograms() const override;
  void OfferSavedFile(const SavedFileNotice& notice) override;
  bool OpenUrl(const std::string& url) override;

 private:
  QStringList calculators_;
};

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_QT_DESKTOP_H_
