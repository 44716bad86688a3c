#pragma once
// Opens the options, the update check, the about box and the tip of the day modally over
// their owner.
class QWidget;

void showOptionsDialog(QWidget *owner);
void showUpdateCheck(QWidget *owner);
void showAboutBox(QWidget *owner);
void showTipOfTheDay(QWidget *owner);
