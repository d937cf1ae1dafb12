#pragma once

#include <QObject>
#include <QWidget>

// The three owned parts of a module object: deleted view first, then view
// model, then model.
template <typename View, typename ViewModel, typename Model> struct ModuleParts {
    View* view = nullptr;
    ViewModel* viewModel = nullptr;
    Model* model = nullptr;

    ModuleParts() = default;
    ModuleParts(const ModuleParts&) = delete;
    ModuleParts& operator=(const ModuleParts&) = delete;
    ~ModuleParts() {
        delete view;
        delete viewModel;
        delete model;
    }
};
