// The web browser's favourites with 10,000 entries: the menu built from the file, the
// editor's lists filled from it, and the editor's rewrite of the whole file.
#include "coverformats/BrowserLists.h"
#include "coverformats/frmFavorites.h"
#include "coverformats/frmSearch.h"

#include <QDir>
#include <QListWidget>
#include <benchmark/benchmark.h>

#include "BenchMain.h"

namespace {

constexpr int kFavorites = 10000;

QList<FavoritesFile::Favorite> favorites()
{
    QList<FavoritesFile::Favorite> list;
    for (int i = 0; i < kFavorites; ++i)
        list.append({QStringLiteral("Cover pictures, page %1").arg(i),
                     QStringLiteral("http://www.example.de/covers/%1.html").arg(i)});
    return list;
}

void writeFavorites()
{
    QDir().mkpath(appPath() + QStringLiteral("/data"));
    FavoritesFile::rewrite(FavoritesFile::defaultPath(), favorites());
}

void BM_FavouritesMenuFrom10000(benchmark::State &state)
{
    writeFavorites();
    frmSearch window;
    for (auto _ : state) {
        window.rebuildFavoriteItems(FavoritesFile::load());
        benchmark::DoNotOptimize(window.mnuItem1.size());
    }
    if (window.mnuItem1.size() != kFavorites + 1)
        state.SkipWithError("not every favourite in the menu");
}
BENCHMARK(BM_FavouritesMenuFrom10000)->Unit(benchmark::kMillisecond);

void BM_FavouritesEditorListsFrom10000(benchmark::State &state)
{
    writeFavorites();
    for (auto _ : state) {
        frmFavorites editor(nullptr);
        if (editor.lstFavorites->count() != kFavorites)
            state.SkipWithError("not every favourite listed");
    }
}
BENCHMARK(BM_FavouritesEditorListsFrom10000)->Unit(benchmark::kMillisecond);

void BM_FavouritesRewrite10000(benchmark::State &state)
{
    QDir().mkpath(appPath() + QStringLiteral("/data"));
    const QList<FavoritesFile::Favorite> list = favorites();
    for (auto _ : state)
        if (!FavoritesFile::rewrite(FavoritesFile::defaultPath(), list))
            state.SkipWithError("rewrite failed");
}
BENCHMARK(BM_FavouritesRewrite10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runGuiBenchmarks(argc, argv);
}
