#pragma once

#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "runtime/OleColor.h"

#include <array>
#include <optional>

// The windows of the program: the six of the design, by their design names, and 网络电台 (net), which is built at its
// first opening and never at start.
enum class FormName { Form1, Form2, Form3, add, setup, yz, net };
inline constexpr std::size_t FormCount = 7;

// How a window reaches another: the first use of a window loads it and runs its load routine, as start-up
// relies on. A window that has been unloaded is loaded afresh at its next use. Loading never throws: a load
// routine that cannot complete leaves its window loaded as far as it came, and the registry remembers it.
class Forms {
public:
    virtual Form& form(FormName name) = 0;
    virtual bool isLoaded(FormName name) const = 0;
    // The window's last load routine stopped at a failure; a window painted while hidden has not loaded yet.
    virtual bool loadFailed(FormName name) const = 0;
    virtual void unload(FormName name) = 0;
    // Gives a window its colour. A window not built yet counts as loaded from here on but is built, and takes the
    // colour, at its first use: nobody sees a hidden window, and building it is most of a start's work.
    virtual void paint(FormName name, OleColor colour) = 0;
    // Loaded and on the screen; asks no window that has not been built.
    virtual bool isShown(FormName name) const = 0;

    template <typename Window> Window& get(FormName name) { return dynamic_cast<Window&>(form(name)); }

protected:
    ~Forms() = default;
};

// The two docking positions beside the main window, from the outer bounds in twips at this moment:
// a panel docked left touches the main window's left edge with its right edge, one docked right its right edge.
void dockLeft(Form& panel, const Form& main);
void dockRight(Form& panel, const Form& main);

// After the main window has been dragged the radio panel goes to its right, the TV panel to its left,
// shown or hidden.
void dockBrowserPanels(Forms& forms);

// A press on a window's drag handle: with the left button the user moves the window as by a title bar; whichever
// button it was, the browser panels then dock at the main window's place.
void dragByHandle(Form& window, int button, Forms& forms);

// The windows a colour theme paints, in the order it paints them.
inline constexpr std::array<FormName, 6> ThemedWindows{FormName::Form1, FormName::Form2, FormName::Form3,
                                                       FormName::add,   FormName::setup, FormName::yz};

// Every window, for what is done to all that are loaded.
inline constexpr std::array<FormName, FormCount> AllWindows{
    FormName::Form1, FormName::Form2, FormName::Form3, FormName::add, FormName::setup, FormName::yz, FormName::net};

// A background colour for each of ThemedWindows, in that order; a window without one keeps the colour it has.
using ThemeColours = std::array<std::optional<OleColor>, ThemedWindows.size()>;

// Paints each window its colour of the theme; a window not loaded yet is loaded, hidden, to take it (built at its
// first use), except 网络电台, which takes the main window's colour when it is built. The colours
// are window colours already (toBackColor), so painting never stops half-way: whoever must change all windows or
// none reads and converts every colour first.
void paintTheme(Forms& forms, const ThemeColours& colours);

// Moves a window back onto its screen as far as it goes.
void keepOnScreen(Form& window);
// Opens 网络电台 beside the main window, or brings it to the front, with the keyboard in it.
void openNetRadio(Forms& forms);

// The credit line at the foot of the main window and of the appearance panel: one line of centred navy text.
void designCreditLine(Label& label);
