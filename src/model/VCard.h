#pragma once

#include "model/CardDocument.h"

#include <QString>

// The card's texts as a contact a phone adds in one step: a vCard 3.0 with
// CRLF line ends, values escaped as RFC 2426 has it, made from the visible
// texts with their labels ("电话：", "E-mail：", "Tel: " ...) removed. Hidden or
// empty texts are left out.
namespace VCard {

QString fromCard(const CardDocument &card);

// A text's value without its label and the blanks around it: a label is
// what stands before the first colon (full or half width), unless it is part
// of the value itself (a web address's "http://", a number, an e-mail address).
QString valueOf(const CardText &text);

} // namespace VCard
