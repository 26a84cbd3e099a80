#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

// Page numbers as a user reads them in a menu: "Page 3", "Pages 1–40", "Pages 2, 5–9".
namespace PageListText {

// pages: ascending 1-based page numbers, not empty. Lists too long to read at a glance
// become a count ("120 Pages").
QString describe(const std::vector<qint64>& pages);

} // namespace PageListText
