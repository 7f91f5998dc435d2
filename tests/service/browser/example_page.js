// example_page.js: examples/web/index.html in Debian's chromium, headless, driven through the
// DevTools protocol (playwright-core), one step per run:
//
//   node example_page.js capture PAGE_URL ARTEFACT_DIR            Capturar: the JPEG shown, WSQ offered
//   node example_page.js cancel PAGE_URL ARTEFACT_DIR INFO_URL ERROR SOLUTION
//                                                     Capturar, then Cancelar once the capture runs:
//                                                     the error and solution texts shown
//   node example_page.js refused PAGE_URL ARTEFACT_DIR            a page of an origin not allowed: no
//                                                     answer reaches it
//
// Each run has a fresh profile and keeps a screenshot of the page in ARTEFACT_DIR. Prints one line and
// exits 0, or prints the fault and exits 1.
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
const { chromium } = require("playwright-core");

const [step, pageUrl, artefacts, infoUrl, wantError, wantSolution] = process.argv.slice(2);

function fail(reason) {
  console.error("FAIL: " + reason);
  process.exit(1);
}

async function until(what, condition, seconds) {
  const deadline = Date.now() + seconds * 1000;
  while (Date.now() < deadline) {
    if (await condition()) return;
    await new Promise((r) => setTimeout(r, 200));
  }
  fail(what + " within " + seconds + " s");
}

async function main() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "velmar-chromium-"));
  // A fresh profile (user-data-dir) for every run.
  const browser = await chromium.launchPersistentContext(profile, {
    executablePath: "/usr/bin/chromium",
    headless: true,
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
  try {
    const page = await browser.newPage();
    const console_ = [];
    page.on("console", (m) => console_.push(m.text()));
    await page.goto(pageUrl);
    const text = (id) => page.textContent("#" + id);
    await page.selectOption("#dispositivo", "futronic");
    await page.click("#capturar");

    if (step === "capture") {
      await until("no capture shown (estado: " + (await text("estado")) + ")",
                  async () => (await text("estado")) === "Captura correcta", 120);
      const size = await page.evaluate(() => [document.getElementById("huella").naturalWidth,
                                               document.getElementById("huella").naturalHeight]);
      if (size[0] < 100 || size[1] < 100) fail("the JPEG shown is " + size.join(" x "));
      const wsq = await page.evaluate(async () => {
        const bytes = new Uint8Array(await (await fetch(document.getElementById("wsq").href)).arrayBuffer());
        return [bytes.length, bytes[0], bytes[1]];
      });
      if (wsq[0] < 1000 || wsq[1] !== 0xff || wsq[2] !== 0xa0) fail("the WSQ offered is " + wsq.join(" "));
      if (await page.isVisible("#fallo")) fail("an error is shown: " + (await text("error")));
      await page.screenshot({ path: path.join(artefacts, "page-captured.png"), fullPage: true });
      console.log("capture: JPEG " + size.join(" x ") + " shown, WSQ of " + wsq[0] + " bytes offered");
    } else if (step === "cancel") {
      await until("no capture running", async () => (await (await fetch(infoUrl)).json()).busy, 30);
      await page.click("#cancelar");
      await until("no failure shown (estado: " + (await text("estado")) + ")",
                  async () => (await text("estado")) === "Captura fallida (código 208)", 60);
      const [error, solution] = [await text("error"), await text("solucion")];
      if (error !== wantError || solution !== wantSolution) fail("texts shown: " + error + " / " + solution);
      await page.screenshot({ path: path.join(artefacts, "page-cancelled.png"), fullPage: true });
      console.log("cancel: " + error + " / " + solution);
    } else if (step === "refused") {
      await until("no failure shown (estado: " + (await text("estado")) + ")",
                  async () => (await text("estado")) === "Sin conexión con el servicio", 60);
      if (await page.isVisible("#resultado")) fail("a result is shown");
      await page.screenshot({ path: path.join(artefacts, "page-refused.png"), fullPage: true });
      console.log("refused: the page got no answer (" + console_.filter((l) => /CORS|blocked/i.test(l)).length +
                  " CORS messages in its console)");
    } else {
      fail("unknown step " + step);
    }
  } finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

main().catch((e) => fail(e.stack || String(e)));
