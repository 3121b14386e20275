#include "company/ui/about_box.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "platform/qt/text_codec.h"

namespace tallybook::company::ui {

TAboutBox::TAboutBox(App& app, QWidget* parent) : QDialog(parent) {
  setObjectName("TAboutBox");
  setWindowTitle("About");
  ProductName = new QLabel(kProductTitle, this);
  QFont big = ProductName->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  ProductName->setFont(big);
  Version = new QLabel(QString("Version ") + kProductVersion, this);
  DataDirectory = new QLabel(
      "Data directory: " + platform::qt::PathToQString(app.data_dir()), this);
  DataDirectory->setTextInteractionFlags(Qt::TextSelectableByMouse);
  OKButton = new QPushButton("OK", this);
  OKButton->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ProductName);
  layout->addWidget(Version);
  layout->addWidget(
      new QLabel("Billing and accounts receivable for small businesses.", this));
  layout->addWidget(DataDirectory);
  layout->addLayout(buttons);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tallybook::company::ui
