#pragma once
// Digits typed into a date or time field go into the section under the cursor. Qt
// inserts them beside the digits a click left the cursor among ("1|4" and "2" make "124",
// no day at all, and the digit is dropped); here the first digit after a click, a focus or
// a move replaces the section, as a Windows date field does, and a month shown by name
// takes its number (3 March, 1 then 2 December).

class QDateTimeEdit;

void TypeDigitsIntoSections(QDateTimeEdit* edit);
