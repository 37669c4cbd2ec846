#pragma once

// Framework-internal: what screen readers learn of the controls beyond Qt's own answers.
// A popup is named by the label before it (Qt names it by its current row on Linux) and a
// separator line says that it is one. Installed once, at start-up.
void InstallAccessibility();

// The property that marks a tool button as a disclosure triangle.
inline constexpr char kDisclosureProperty[] = "quoblyDisclosure";
