#pragma once

class QWidget;

// Enter as Tab: moves the focus on to the next field in the tab order of the window, as the Tab key
// would (QWidget::focusNextChild), without sending a key. Starts at `von`, else at the focus
// widget. Returns 0 so that key handlers can write `taste = TabTasteSenden();`.
int TabTasteSenden(QWidget* von = nullptr);

// Shift+Tab likewise.
int UmschaltTabTasteSenden(QWidget* von = nullptr);
