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
        // Deleting an incomplete type would skip its destructor silently.
        static_assert(sizeof(View) > 0 && sizeof(ViewModel) > 0 && sizeof(Model) > 0,
                      "module parts must be complete where the module object is destroyed");
        delete view;
        delete viewModel;
        delete model;
    }
};
