'use strict';
const { chromium } = require('playwright-core');
const { serveSite } = require('./site_server');
(async () => {
  const site = await serveSite(process.argv[2]);
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium',
    args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader'] });
  const page = await browser.newPage({ viewport: { width: 1024, height: 768 } });
  page.on('console', (m) => console.log('console:', m.text()));
  page.on('pageerror', (e) => console.log('pageerror:', e.message));
  await page.goto(site.url);
  await page.waitForTimeout(Number(process.argv[3] || 15000));
  await page.screenshot({ path: '/tmp/web-smoke.png' });
  const st = await page.evaluate(() => window.tavelle.state && window.tavelle.state()); console.log(JSON.stringify({frame: st.frame, frameNo: st.frameNo, time: st.time, messages: st.messages, field: st.field, music: st.music}).slice(0, 1500));
  await browser.close();
  await site.close();
})();
