// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractListModel>

namespace strelkavo {

class VerbData;

// A list over the loaded data, without a copy of it: an entry is made only
// when a view asks for it, which a list view with rows of one height does for
// the rows in sight only.
class VerbListModel : public QAbstractListModel
{
public:
    enum class Shows {
        DisplayRows, // the table list: display row k for verb-table row k, in file order
        ListWords,   // the hidden search-word list, in its own order
    };

    explicit VerbListModel(Shows shows, QObject *parent = nullptr);

    // Shows data's entries, or none for nullptr; data must outlive its use here.
    void setSource(const VerbData *data);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    Shows m_shows;
    const VerbData *m_data = nullptr;
};

} // namespace strelkavo
