#include "service/Seed.h"

#include "service/Defaults.h"
#include "service/Server.h"

namespace tavo::service {
namespace {

std::string Escape(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

// A 1x1 PNG, enough for a picture the demo document shows.
const unsigned char kPixel[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00,
    0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00,
    0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x00, 0x01, 0x00, 0x00, 0x05, 0x00, 0x01,
    0x0D, 0x0A, 0x2D, 0xB4, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

}  // namespace

std::string WorkbookFile(const std::vector<SeedSheet>& sheets) {
  std::string file = "TAVO-WORKBOOK/1\nopen-password: \n";
  for (const auto& sheet : sheets) {
    file += "sheet: " + sheet.name + "\n";
    for (const auto& [ref, value] : sheet.cells) file += ref + ": " + Escape(value) + "\n";
  }
  return file;
}

DemoSeed SeedDemo(Server& server) {
  const std::string user(defaults::kDemoUser);
  server.AddAccount(user, std::string(defaults::kDemoPassword));
  DemoSeed seed;
  seed.documentIds.push_back(server.AddDocument(
      user, "Welcome", "<html><body><h1>Welcome to Tavo Writer</h1><p>Open, edit and save this document.</p></body></html>",
      3));
  seed.documentIds.push_back(
      server.AddDocument(user, "Bob's notes", "<html><body><p>Buy milk &amp; bread.</p></body></html>", 1));
  seed.documentIds.push_back(server.AddDocument(
      user, "Draft: plan?", "<html><body><p>Saved automatically while being edited.</p></body></html>", -2));
  const std::string picture =
      std::string(defaults::kWriterUrl) +
      server.AddPicture(user, "png", std::string(reinterpret_cast<const char*>(kPixel), sizeof kPixel));
  seed.documentIds.push_back(server.AddDocument(
      user, "Trip report",
      "<html><body><p>Our trip, in one picture:</p><img src=\"" + picture +
          "\" style=\"width:120px;height:80px\" /></body></html>",
      2));

  seed.workbookIds.push_back(server.AddWorkbook(
      user, "M\xC3\xBCller",
      WorkbookFile({{"Kunden", {{"A1", "Name"}, {"B1", "Ort"}, {"A2", "M\xC3\xBCller"}, {"B2", "K\xC3\xB6ln"}}}})));
  seed.workbookIds.push_back(server.AddWorkbook(
      user, "Budget",
      WorkbookFile({{"Sheet1", {{"A1", "Item"}, {"B1", "Amount"}, {"A2", "Rent"}, {"B2", "1200"}, {"A3", "Food"}, {"B3", "450"}}},
                    {"Notes", {{"A1", "Figures per month\nin euros"}}}})));
  return seed;
}

}  // namespace tavo::service
