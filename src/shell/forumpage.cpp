#include "shell/forumpage.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/datafolders.h"
#include "app/widgets/fonts.h"
#include "app/widgets/labels.h"
#include "app/widgets/linklabel.h"
#include "app/config.h"

QWidget* BuildForumPage(QWidget* page) {
  auto* lay = new QVBoxLayout(page);
  lay->setContentsMargins(40, 30, 40, 30);
  auto* forumNav = new QWidget(page);
  auto* nav = new QHBoxLayout(forumNav);
  nav->setContentsMargins(0, 0, 0, 0);
  auto* back = new QPushButton(QStringLiteral("< "), forumNav);
  auto* fwd = new QPushButton(QStringLiteral(" > "), forumNav);
  back->setEnabled(false);
  fwd->setEnabled(false);
  LinkLabel* browser = MakeLink(forumNav, QStringLiteral("lblBrowser"), QStringLiteral("Browser"));
  QObject::connect(browser, &LinkLabel::clicked, page, [] { OpenDocument(Brand().ForumUrl); });
  nav->addWidget(back);
  nav->addWidget(fwd);
  nav->addWidget(browser);
  nav->addStretch();
  lay->addWidget(forumNav);
  auto* text = MakeLabel(page, QStringLiteral("lblForum"),
                         QStringLiteral("The Mavelo forum opens in your web browser."),
                         ArialFont(16, true));
  lay->addWidget(text);
  lay->addStretch();
  return forumNav;
}
