#pragma once

// Qt's own texts, the standard buttons of the message boxes among them, in Chinese whatever the user's locale.
void loadQtChineseTranslations();
