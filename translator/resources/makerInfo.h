/* The maker's addresses, shared by the string tables and the code. */
#pragma once

#define MAKER_SUPPORT_ADDRESS "support@velmora.example"
#define MAKER_CONTACT_PAGE_ENGLISH "http://www.velmora.example/en/contact.html"
#define MAKER_CONTACT_PAGE_GERMAN "http://www.velmora.example/de/kontakt.html"
#define MAKER_HOME_PAGE "http://www.velmora.example"
#define MAKER_COPYRIGHT "Copyright © 1999-2026"
