// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "listmodels.h"

#include "table/rows.h"
#include "table/verbdata.h"

#include <algorithm>
#include <limits>

namespace strelkavo {

VerbListModel::VerbListModel(Shows shows, QObject *parent)
    : QAbstractListModel(parent)
    , m_shows(shows)
{
}

void VerbListModel::setSource(const VerbData *data)
{
    beginResetModel();
    m_data = data;
    endResetModel();
}

int VerbListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_data)
        return 0;
    const qsizetype count =
        m_shows == Shows::DisplayRows ? m_data->table().size() : m_data->words().size();
    // A view counts its rows in an int.
    return int(std::min<qsizetype>(count, std::numeric_limits<int>::max()));
}

QVariant VerbListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()
        || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    if (m_shows == Shows::DisplayRows)
        return displayRow(m_data->table().row(index.row()));
    return m_data->listWord(index.row());
}

} // namespace strelkavo
