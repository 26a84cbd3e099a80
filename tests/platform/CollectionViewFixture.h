#pragma once

#include "CaseName.h"
#include "FakeCollectionClient.h"

#include "platform/CollectionViewFlowLayout.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

// A shown collection view whose viewport is the whole view (no frame, no scroll bar shown),
// with rows from a fake client and no prefetch margin unless a test sets one.
class CollectionViewFixture : public testing::Test {
protected:
    CollectionViewFixture() {
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setPrefetchMargin(0);
        view.registerItem("label", [this] {
            ++made;
            return new LabelItem(&reuses);
        });
        view.setDelegate(&client);
    }

    // Loads the client's rows into a view of width x height and shows it.
    void show(int width, int height) {
        view.resize(width, height);
        view.setDataSource(&client);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    CollectionViewFlowLayout& layout() { return *view.collectionViewLayout(); }
    void scrollTo(int y) { view.verticalScrollBar()->setValue(y); }
    int scrollY() const { return view.verticalScrollBar()->value(); }

    FakeCollectionClient client;
    CollectionView view;
    int made = 0;
    int reuses = 0;
};
