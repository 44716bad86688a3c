#pragma once
// The program's one way of reporting a failure: a critical message box built from language
// texts, naming the procedure's message, the error number, the source and the description.
#include <QString>

// Resets the application's mouse pointer, then returns the language text "ERRORS." + key.
QString getErrorText(const QString &key, const QString &defaultText);
// The language text "MESSAGES." + key; the pointer is left alone.
QString getMessageText(const QString &key, const QString &defaultText);
// Shows the report (style 16 at every call of the program) and returns when it is closed.
void showError(const QString &text, int style, const QString &source, const QString &description,
               long number);

// The handler of a procedure: call inside a catch block. Takes number and description from
// the exception being handled and shows the report for the error key (default text "ERROR").
// With resetPointer false the text is looked up directly and the pointer stays as it is.
void reportError(const QString &errorKey, const QString &source, bool resetPointer = true);
// The same for the few handlers that show a fixed text instead of a language key.
void reportErrorText(const QString &text, const QString &source);
