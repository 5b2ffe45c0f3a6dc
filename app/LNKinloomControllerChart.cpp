// The chart of the shown person's ancestors or descendants.

#include "LNKinloomController.h"

#include <algorithm>

namespace kinloom {

void LNKinloomController::setChartKind(LNChartKind kind) {
    if (kind == chartKind_) return;
    chartKind_ = kind;
    showChart(chartKey_);
}

void LNKinloomController::setChartGenerations(int generations) {
    generations = std::clamp(generations, minChartGenerations, maxChartGenerations);
    if (generations == chartGenerations_) return;
    chartGenerations_ = generations;
    showChart(chartKey_);
}

void LNKinloomController::showChart(const SharedString& key) {
    chartKey_ = key;
    chart_.reset();
    if (chartView_) chartView_->reloadData();
}

void LNKinloomController::dropChart() {
    chartKey_ = SharedString();
    chart_.reset();
}

const LNChartLayout* LNKinloomController::chartForView(LNChartView*) {
    if (chart_) return chart_.get();
    const auto& person =
        gedcomRecords_ && chartKey_ ? gedcomRecords_->indiWithKey(chartKey_.view()) : nullptr;
    if (!person) return nullptr;
    chart_ = std::make_unique<LNChartLayout>(*gedcomRecords_, *person, chartKind_, chartGenerations_);
    return chart_.get();
}

void LNKinloomController::chartClicked(LNView*) {
    if (!chartView_ || !chart_) return;
    const int box = chartView_->clickedBox();
    if (box < 0 || box >= static_cast<int>(chart_->boxes().size())) return;
    // Copied: selecting the person replaces the chart.
    const SharedString key = chart_->boxes()[static_cast<std::size_t>(box)].indi->key();
    if (key) selectPerson(key, true, true);
}

} // namespace kinloom
