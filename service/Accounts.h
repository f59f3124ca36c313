#pragma once
// The accounts service and the plain pages of the suite.
//
// POST login? with the form servicename=TavoWriter|TavoSheet&silent=true&LOGIN_ID=..&PASSWORD=..
// answers, when the e-mail address and password belong to an account, a page whose script
// holds "ticket=" + ticket + "'"; otherwise a page in which the word "ticket" does not
// occur. An account keeps one ticket while signed in, so the two sign-in requests that a
// sign-in sends (one per service name) get the same ticket; it is valid for both services
// until GET logout?ticket=.. ends it.
#include "service/Exchange.h"
#include "service/Store.h"

namespace tavo::service {

Answer Login(Store& store, const Call& call);
Answer Logout(Store& store, const Call& call);

// The home page of the main site (also served on the other hosts' "/"), the registration
// page and the share service's terms page.
Answer HomePage(const Call& call);
Answer RegisterPage();
Answer TermsPage();
Answer NotFoundPage();

}  // namespace tavo::service
