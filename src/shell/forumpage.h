#pragma once
// The forum page. There is no browser engine here: the page offers the forum's address
// (from brand.ini) as a link that opens the user's web browser.

class QWidget;

// Fills the page; returns its navigation row, shown only while the page is.
QWidget* BuildForumPage(QWidget* page);
